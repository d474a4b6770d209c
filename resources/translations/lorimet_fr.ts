<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>APICommonDialog</name>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Tous les fichiers</translation>
    </message>
</context>
<context>
    <name>AlarmChartView</name>
    <message>
        <source>Began %1
Peak %2
Duration %3</source>
        <translation>Début %1
Pic %2
Durée %3</translation>
    </message>
</context>
<context>
    <name>CaptureFile</name>
    <message>
        <source>the delay must be &quot;+&quot; followed by milliseconds</source>
        <translation>le délai doit être « + » suivi de millisecondes</translation>
    </message>
    <message>
        <source>expected %1 hex bytes, found %2</source>
        <translation>%1 octets hexadécimaux attendus, %2 trouvés</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a two-digit hex byte</source>
        <translation>« %1 » n'est pas un octet hexadécimal à deux chiffres</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB, too large for a capture</source>
        <translation>elle dépasse %1 Mio, trop pour une capture</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>Usage: lorimet-report archive [--archive FILE] [--timeout SECONDS] COMMAND
  list [FILTERS] [--format table|csv|json]   the archived downloads, newest first
  show ID                                     the lines of one download
  alarms --serial S                           a detector&apos;s alarms in the order they began
  detectors [--as-of YYYY-MM-DD] [--ends-within DAYS] [--not-downloaded-for DAYS] [--attention]
            [--format table|csv|json]         each detector&apos;s life, last download and alarms
  export --format txt|csv|xlsx|docx|pdf [FILTERS] [--append] OUTPUT
                                              the downloads&apos; lines, oldest first, as export writes them
  import FILE...                              the reports of text exports not archived yet
  check                                       look for damage
FILTERS: --serial S, --user U, --since YYYY-MM-DD, --until YYYY-MM-DD
The archive is LORIMET_ARCHIVE when set, else the program&apos;s own. A site archive&apos;s server that does
not answer a call within SECONDS (30) is given up.
</source>
        <translation>Usage : lorimet-report archive [--archive FICHIER] [--timeout SECONDES] COMMANDE
  list [FILTRES] [--format table|csv|json]   les téléchargements archivés, du plus récent au plus ancien
  show ID                                     les lignes d'un téléchargement
  alarms --serial S                           les alarmes d'un détecteur dans l'ordre de leur début
  detectors [--as-of AAAA-MM-JJ] [--ends-within JOURS] [--not-downloaded-for JOURS] [--attention]
            [--format table|csv|json]         durée de vie, dernier téléchargement et alarmes de chaque détecteur
  export --format txt|csv|xlsx|docx|pdf [FILTRES] [--append] SORTIE
                                              les lignes des téléchargements, du plus ancien au plus récent, comme export les écrit
  import FICHIER...                           les rapports d'exports texte pas encore archivés
  check                                       chercher des dommages
FILTRES : --serial S, --user U, --since AAAA-MM-JJ, --until AAAA-MM-JJ
L'archive est LORIMET_ARCHIVE si elle est définie, sinon celle du programme. Le serveur d'une archive de
site qui ne répond pas à un appel en SECONDES (30) est abandonné.
</translation>
    </message>
    <message>
        <source>%1 is not a date; DATE is YYYY-MM-DD</source>
        <translation>%1 n'est pas une date ; DATE s'écrit AAAA-MM-JJ</translation>
    </message>
    <message>
        <source>%1 is not a number of days from 0 to 36500</source>
        <translation>%1 n'est pas un nombre de jours de 0 à 36500</translation>
    </message>
    <message>
        <source>%1 is not a number of seconds from 1 to 86400</source>
        <translation>%1 n'est pas un nombre de secondes de 1 à 86400</translation>
    </message>
    <message>
        <source>%1 is not a download&apos;s ID</source>
        <translation>%1 n'est pas l'ID d'un téléchargement</translation>
    </message>
    <message>
        <source>no archived download matches</source>
        <translation>aucun téléchargement archivé ne correspond</translation>
    </message>
    <message>
        <source>the selected downloads</source>
        <translation>les téléchargements sélectionnés</translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n reports</source>
        <translation>
            <numerusform>%1 : %2 sur %n rapport</numerusform>
            <numerusform>%1 : %2 sur %n rapports</numerusform>
        </translation>
    </message>
    <message>
        <source>some reports could not be read</source>
        <translation>certains rapports n'ont pas pu être lus</translation>
    </message>
    <message numerus="yes">
        <source>%n downloads</source>
        <translation>
            <numerusform>%n téléchargement</numerusform>
            <numerusform>%n téléchargements</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarms</source>
        <translation>
            <numerusform>%n alarme</numerusform>
            <numerusform>%n alarmes</numerusform>
        </translation>
    </message>
    <message>
        <source>the archive is damaged</source>
        <translation>l'archive est endommagée</translation>
    </message>
    <message>
        <source>Usage: %1 COMMAND [ARGUMENTS]</source>
        <translation>Usage : %1 COMMANDE [ARGUMENTS]</translation>
    </message>
    <message>
        <source>Works with the reports of the Lorimet Adapter without opening a window.</source>
        <translation>Traite les rapports du Lorimet Adapter sans ouvrir de fenêtre.</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Commandes :</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Options :</translation>
    </message>
    <message>
        <source>Show this help; after a command, that command&apos;s usage.</source>
        <translation>Afficher cette aide ; après une commande, l'usage de celle-ci.</translation>
    </message>
    <message>
        <source>Show the version of %1.</source>
        <translation>Afficher la version de %1.</translation>
    </message>
    <message>
        <source>Print the report lines a download of the captured input reports adds.</source>
        <translation>Afficher les lignes de rapport qu'ajoute un téléchargement des rapports d'entrée capturés.</translation>
    </message>
    <message>
        <source>Run one transfer on the attached adapter and save its input reports.</source>
        <translation>Effectuer un transfert sur l'adaptateur branché et enregistrer ses rapports d'entrée.</translation>
    </message>
    <message>
        <source>Append a saved text report to OUTPUT (txt) or write its event table (csv, xlsx, docx).</source>
        <translation>Ajouter un rapport texte enregistré à OUTPUT (txt) ou écrire son tableau d'événements (csv, xlsx, docx).</translation>
    </message>
    <message>
        <source>List, show, export and import the archived downloads, and check the archive.</source>
        <translation>Lister, afficher, exporter et importer les téléchargements archivés, et vérifier l'archive.</translation>
    </message>
    <message>
        <source>a command is missing.</source>
        <translation>il manque une commande.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>Essayez « %1 --help ».</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>Usage : %1</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;.</source>
        <translation>commande inconnue « %1 ».</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>impossible d'écrire %1 : %2</translation>
    </message>
    <message>
        <source>it is larger than 256 MiB, too large for a report</source>
        <translation>il dépasse 256 Mio, trop pour un rapport</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>la sortie standard</translation>
    </message>
    <message>
        <source>it takes text only</source>
        <translation>elle n'accepte que du texte</translation>
    </message>
    <message>
        <source>it is the report being exported, %1</source>
        <translation>c'est le rapport en cours d'export, %1</translation>
    </message>
    <message numerus="yes">
        <source>%n lines appended to %1</source>
        <translation>
            <numerusform>%n ligne ajoutée à %1</numerusform>
            <numerusform>%n lignes ajoutées à %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n events written to %1</source>
        <translation>
            <numerusform>%n événement écrit dans %1</numerusform>
            <numerusform>%n événements écrits dans %1</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>impossible d'écrire sur la sortie standard : %1</translation>
    </message>
    <message>
        <source>the Lorimet Adapter is attached, but you may not open it.
Install the udev rule that grants access to it, then plug the adapter in again.</source>
        <translation>le Lorimet Adapter est branché, mais vous n'avez pas le droit de l'ouvrir.
Installez la règle udev qui en donne l'accès, puis rebranchez l'adaptateur.</translation>
    </message>
    <message>
        <source>no Lorimet Adapter is attached. Please re-check the USB connection.</source>
        <translation>aucun Lorimet Adapter n'est branché. Vérifiez la connexion USB.</translation>
    </message>
    <message numerus="yes">
        <source>Recorded %n input reports to %1.</source>
        <translation>
            <numerusform>%n rapport d'entrée enregistré dans %1.</numerusform>
            <numerusform>%n rapports d'entrée enregistrés dans %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DocumentViewer</name>
    <message>
        <source>The report was saved to %1, but no program could be started to show it.</source>
        <translation>Le rapport a été enregistré dans %1, mais aucun programme n'a pu être lancé pour l'afficher.</translation>
    </message>
</context>
<context>
    <name>DocxDocument</name>
    <message>
        <source>The file is not a Word document.</source>
        <translation>Le fichier n'est pas un document Word.</translation>
    </message>
    <message>
        <source>The main part of the document is not a WordprocessingML document.</source>
        <translation>La partie principale du document n'est pas un document WordprocessingML.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has no column grid (w:tblGrid), which says how wide its columns are; open the document in Word or LibreOffice, save it again and try once more.</source>
        <translation>Le premier tableau du document n'a pas de grille de colonnes (w:tblGrid), qui en donne la largeur ; ouvrez le document dans Word ou LibreOffice, enregistrez-le de nouveau et réessayez.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has more columns than Word allows.</source>
        <translation>Le premier tableau du document a plus de colonnes que Word n'en permet.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has no rows.</source>
        <translation>Le premier tableau du document n'a aucune ligne.</translation>
    </message>
    <message>
        <source>The header row of the document&apos;s first table does not span all its columns.</source>
        <translation>La ligne d'en-tête du premier tableau du document ne couvre pas toutes ses colonnes.</translation>
    </message>
    <message>
        <source>The document holds no report table: no table&apos;s first row names a column of the report (such as &quot;Download On&quot;). Nothing was appended, so that no value goes to a column without its header.</source>
        <translation>Le document ne contient aucun tableau de rapport : aucune première ligne de tableau ne nomme une colonne du rapport (comme « Download On »). Rien n'a été ajouté, pour qu'aucune valeur n'aille dans une colonne sans en-tête.</translation>
    </message>
    <message>
        <source>The document holds no table to append the report to.</source>
        <translation>Le document ne contient aucun tableau auquel ajouter le rapport.</translation>
    </message>
    <message>
        <source>The table&apos;s rows could not be placed.</source>
        <translation>Les lignes du tableau n'ont pas pu être placées.</translation>
    </message>
</context>
<context>
    <name>DownloadArchive</name>
    <message>
        <source>A site archive is a PostgreSQL server: postgresql://user@host:port/database</source>
        <translation>Une archive de site est un serveur PostgreSQL : postgresql://user@host:port/database</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be written.</source>
        <translation>Le fichier de réglages %1 ne peut pas être écrit.</translation>
    </message>
    <message>
        <source>The download could not be kept in the report archive:
%1

It stays on the display and can be saved as usual.</source>
        <translation>Le téléchargement n'a pas pu être conservé dans l'archive des rapports :
%1

Il reste à l'affichage et peut être enregistré comme d'habitude.</translation>
    </message>
    <message>
        <source>The site archive cannot be reached: downloads are kept on this PC; will be sent to the site archive when it can be reached again.

%1</source>
        <translation>L'archive du site est injoignable : les téléchargements sont conservés sur ce PC et seront envoyés à l'archive du site dès qu'elle sera de nouveau joignable.

%1</translation>
    </message>
    <message>
        <source>Archive Location</source>
        <translation>Emplacement de l'archive</translation>
    </message>
    <message>
        <source>A site archive on a PostgreSQL server that the PCs of the site share,
as postgresql://user@host:port/database (the password comes from
~/.pgpass or PGPASSWORD). Empty: this PC&apos;s archive only.</source>
        <translation>Une archive de site sur un serveur PostgreSQL que partagent les PC du site,
sous la forme postgresql://user@host:port/database (le mot de passe vient de
~/.pgpass ou PGPASSWORD). Vide : l'archive de ce PC seulement.</translation>
    </message>
</context>
<context>
    <name>OoxmlPackage</name>
    <message>
        <source>an entry without a name</source>
        <translation>une entrée sans nom</translation>
    </message>
    <message>
        <source>an entry with an absolute path (%1)</source>
        <translation>une entrée au chemin absolu (%1)</translation>
    </message>
    <message>
        <source>an entry with a relative path (%1)</source>
        <translation>une entrée au chemin relatif (%1)</translation>
    </message>
    <message>
        <source>The file is password-protected (encrypted). Remove the password in the program that made it and try again.</source>
        <translation>Le fichier est protégé par mot de passe (chiffré). Retirez le mot de passe dans le programme qui l'a créé et réessayez.</translation>
    </message>
    <message>
        <source>The file is in an older binary Office format, which is not supported. Save it as a .docx or .xlsx file first.</source>
        <translation>Le fichier est dans un ancien format binaire d'Office, qui n'est pas pris en charge. Enregistrez-le d'abord en .docx ou .xlsx.</translation>
    </message>
    <message>
        <source>The part %1 holds a document type declaration (DOCTYPE); DOCTYPEs are refused, as Office documents never contain one.</source>
        <translation>La partie %1 contient une déclaration de type de document (DOCTYPE) ; elles sont refusées, car les documents Office n'en contiennent jamais.</translation>
    </message>
    <message>
        <source>The part %1 is damaged: %2 at byte %3.</source>
        <translation>La partie %1 est endommagée : %2 à l'octet %3.</translation>
    </message>
    <message>
        <source>The file is open in another program: %1. Close it and save again.</source>
        <translation>Le fichier est ouvert dans un autre programme : %1. Fermez-le et enregistrez de nouveau.</translation>
    </message>
    <message>
        <source>The file is empty, not a Word or Excel document.</source>
        <translation>Le fichier est vide ; ce n'est pas un document Word ou Excel.</translation>
    </message>
    <message>
        <source>The file is not a Word or Excel document: it is not a zip archive, or a damaged one.</source>
        <translation>Le fichier n'est pas un document Word ou Excel : ce n'est pas une archive zip, ou elle est endommagée.</translation>
    </message>
    <message>
        <source>The file cannot be read as a zip archive: %1.</source>
        <translation>Le fichier ne peut pas être lu comme archive zip : %1.</translation>
    </message>
    <message>
        <source>The archive is damaged: %1.</source>
        <translation>L'archive zip est endommagée : %1.</translation>
    </message>
    <message>
        <source>The archive holds %1; it is not read.</source>
        <translation>L'archive zip contient %1 ; elle n'est pas lue.</translation>
    </message>
    <message>
        <source>The file is damaged: two parts named %1.</source>
        <translation>Le fichier est endommagé : deux parties nommées %1.</translation>
    </message>
    <message>
        <source>The part %1 would inflate to more than %2 MiB; it is not read.</source>
        <translation>La partie %1 dépasserait %2 Mio une fois décompressée ; elle n'est pas lue.</translation>
    </message>
    <message>
        <source>The part %1 is compressed more than %2 to 1, as a zip bomb is; it is not read.</source>
        <translation>La partie %1 est compressée à plus de %2 pour 1, comme une bombe zip ; elle n'est pas lue.</translation>
    </message>
    <message>
        <source>The file is a zip archive but not a Word or Excel document.</source>
        <translation>Le fichier est une archive zip, mais pas un document Word ou Excel.</translation>
    </message>
    <message>
        <source>The file is saved as Strict Open XML, which is not supported. Save it in the usual Office Open XML format and try again.</source>
        <translation>Le fichier est enregistré en Strict Open XML, qui n'est pas pris en charge. Enregistrez-le au format Office Open XML habituel et réessayez.</translation>
    </message>
    <message>
        <source>The file has no main document part.</source>
        <translation>Le fichier n'a pas de partie principale de document.</translation>
    </message>
    <message>
        <source>The file&apos;s main document part %1 is missing.</source>
        <translation>La partie principale de document %1 du fichier est absente.</translation>
    </message>
    <message>
        <source>The part %1 is missing.</source>
        <translation>La partie %1 est absente.</translation>
    </message>
    <message>
        <source>The part %1 cannot be read: %2</source>
        <translation>La partie %1 ne peut pas être lue : %2</translation>
    </message>
    <message>
        <source>its size does not match the archive&apos;s directory.</source>
        <translation>sa taille ne correspond pas au répertoire de l'archive zip.</translation>
    </message>
</context>
<context>
    <name>PrintedDocument</name>
    <message>
        <source>Printed Report</source>
        <translation>Rapport imprimé</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Le rapport n'a pas pu être enregistré dans %1.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>The report could not be printed.<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Le rapport n'a pas pu être imprimé.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>ReportArchive</name>
    <message>
        <source>cannot be checked</source>
        <translation>ne peut pas être vérifiée</translation>
    </message>
    <message>
        <source>download %1: its lines are not those it was stored with</source>
        <translation>téléchargement %1 : ses lignes ne sont pas celles avec lesquelles il a été enregistré</translation>
    </message>
    <message>
        <source>download %1: %2 alarm events, but %3 rows in its event table and %4 alarms</source>
        <translation>téléchargement %1 : %2 événements d'alarme, mais %3 lignes dans son tableau d'événements et %4 alarmes</translation>
    </message>
    <message>
        <source>%1 alarms that no download recorded</source>
        <translation>%1 alarmes qu'aucun téléchargement n'a enregistrées</translation>
    </message>
    <message>
        <source>%1 is not a file; the archive must be one</source>
        <translation>%1 n'est pas un fichier ; l'archive doit en être un</translation>
    </message>
    <message>
        <source>there is no archive at %1</source>
        <translation>il n'y a pas d'archive à %1</translation>
    </message>
    <message>
        <source>cannot create the folder of the archive %1</source>
        <translation>impossible de créer le dossier de l'archive %1</translation>
    </message>
    <message>
        <source>cannot open the archive %1: %2</source>
        <translation>impossible d'ouvrir l'archive %1 : %2</translation>
    </message>
    <message>
        <source>%1 is not a report archive or is damaged (%2); it is left as it is</source>
        <translation>%1 n'est pas une archive de rapports ou est endommagée (%2) ; elle est laissée telle quelle</translation>
    </message>
    <message>
        <source>cannot connect to the archive %1: %2</source>
        <translation>impossible de se connecter à l'archive %1 : %2</translation>
    </message>
    <message>
        <source>the archive %1 cannot be read: %2</source>
        <translation>l'archive %1 ne peut pas être lue : %2</translation>
    </message>
    <message>
        <source>the archive URL must not hold a password; put it into the password file (~/.pgpass) or PGPASSWORD</source>
        <translation>l'URL de l'archive ne doit pas contenir de mot de passe ; mettez-le dans le fichier de mots de passe (~/.pgpass) ou dans PGPASSWORD</translation>
    </message>
    <message>
        <source>%1 is not an archive URL; it takes the form postgresql://user@host:port/database, with settings of libpq after a &apos;?&apos; (such as ?sslmode=require)</source>
        <translation>%1 n'est pas une URL d'archive ; elle a la forme postgresql://user@host:port/database, avec des réglages de libpq après un « ? » (comme ?sslmode=require)</translation>
    </message>
    <message>
        <source>the location</source>
        <translation>l'emplacement</translation>
    </message>
    <message>
        <source>Qt&apos;s PostgreSQL driver is not installed (Debian: libqt6sql6-psql)</source>
        <translation>Le pilote PostgreSQL de Qt n'est pas installé (Debian : libqt6sql6-psql)</translation>
    </message>
    <message numerus="yes">
        <source>%n reports added</source>
        <translation>
            <numerusform>%n rapport ajouté</numerusform>
            <numerusform>%n rapports ajoutés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already in the archive</source>
        <translation>
            <numerusform>%n déjà dans l'archive</numerusform>
            <numerusform>%n déjà dans l'archive</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unreadable</source>
        <translation>
            <numerusform>%n illisible</numerusform>
            <numerusform>%n illisibles</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>ne peut pas être lue</translation>
    </message>
    <message>
        <source>the archive %1 holds no download %2</source>
        <translation>l'archive %1 ne contient pas de téléchargement %2</translation>
    </message>
    <message>
        <source>cannot be searched</source>
        <translation>ne peut pas être parcourue</translation>
    </message>
    <message>
        <source>cannot store a download</source>
        <translation>ne peut pas enregistrer de téléchargement</translation>
    </message>
    <message>
        <source>the archive %1 did not answer within %2 s; the connection was closed and nothing was changed</source>
        <translation>l'archive %1 n'a pas répondu en %2 s ; la connexion a été fermée et rien n'a été modifié</translation>
    </message>
    <message>
        <source>the archive %1 %2: %3</source>
        <translation>l'archive %1 %2 : %3</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>ne peut pas être écrite</translation>
    </message>
    <message>
        <source>%1 is a database of another program, not a report archive; it is left as it is</source>
        <translation>%1 est une base de données d'un autre programme, pas une archive de rapports ; elle est laissée telle quelle</translation>
    </message>
    <message>
        <source>the archive %1 was made by a newer version of this program; it is left as it is</source>
        <translation>l'archive %1 a été créée par une version plus récente de ce programme ; elle est laissée telle quelle</translation>
    </message>
    <message>
        <source>the archive %1 must be brought up to date by storing in it once</source>
        <translation>l'archive %1 doit être mise à jour en y enregistrant une fois</translation>
    </message>
    <message>
        <source>cannot be created</source>
        <translation>ne peut pas être créée</translation>
    </message>
    <message>
        <source>cannot be brought up to date</source>
        <translation>ne peut pas être mise à jour</translation>
    </message>
    <message>
        <source>the archive %1 was made by a newer version of this program</source>
        <translation>l'archive %1 a été créée par une version plus récente de ce programme</translation>
    </message>
</context>
<context>
    <name>ReportExport</name>
    <message>
        <source>the report</source>
        <translation>le rapport</translation>
    </message>
    <message>
        <source>%1 holds more alarm events than the %2 rows of a worksheet can take</source>
        <translation>%1 contient plus d'événements d'alarme que les %2 lignes d'une feuille de calcul ne peuvent en recevoir</translation>
    </message>
    <message>
        <source>%1 holds more than the %2 alarm events a printed report takes</source>
        <translation>%1 contient plus que les %2 événements d'alarme qu'accepte un rapport imprimé</translation>
    </message>
    <message>
        <source>this document is written to a file only</source>
        <translation>ce document ne s'écrit que dans un fichier</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>%1 is a symbolic link that another user put in a folder everyone may write to; it is not followed.</source>
        <translation>%1 est un lien symbolique qu'un autre utilisateur a placé dans un dossier où tout le monde peut écrire ; il n'est pas suivi.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a file.</source>
        <translation>%1 est un dossier, pas un fichier.</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 n'est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>%1 is being written by another export of this program.</source>
        <translation>%1 est en cours d'écriture par un autre export de ce programme.</translation>
    </message>
    <message>
        <source>%1 keeps being replaced by another program.</source>
        <translation>%1 est sans cesse remplacé par un autre programme.</translation>
    </message>
    <message>
        <source>The file is larger than %1 MiB.</source>
        <translation>Le fichier dépasse %1 Mio.</translation>
    </message>
    <message>
        <source>%1 is not the file that was read.</source>
        <translation>%1 n'est pas le fichier qui a été lu.</translation>
    </message>
    <message>
        <source>%1 has other hard links, which replacing it would separate from it; save to another file.</source>
        <translation>%1 a d'autres liens physiques, que le remplacer séparerait de lui ; enregistrez dans un autre fichier.</translation>
    </message>
    <message>
        <source>The name %1 is too long for the temporary file that is written beside it; choose a shorter name.</source>
        <translation>Le nom %1 est trop long pour le fichier temporaire écrit à côté ; choisissez un nom plus court.</translation>
    </message>
    <message>
        <source>%1 now belongs to you; its owner could not be kept.</source>
        <translation>%1 vous appartient désormais ; son propriétaire n'a pas pu être conservé.</translation>
    </message>
    <message>
        <source>%1 now belongs to you and your group; its owner and group could not be kept.</source>
        <translation>%1 appartient désormais à vous et à votre groupe ; son propriétaire et son groupe n'ont pas pu être conservés.</translation>
    </message>
    <message>
        <source>%1 was changed by another program while the report was being written.</source>
        <translation>%1 a été modifié par un autre programme pendant l'écriture du rapport.</translation>
    </message>
    <message>
        <source>%1 was cut back to %2 bytes, its length before an export to it that did not finish.</source>
        <translation>%1 a été ramené à %2 octets, sa longueur avant un export inachevé vers lui.</translation>
    </message>
    <message>
        <source>The journal&apos;s folder %1 cannot be made</source>
        <translation>Le dossier %1 du journal ne peut pas être créé</translation>
    </message>
    <message>
        <source>The journal %1 cannot be written: %2</source>
        <translation>Le journal %1 ne peut pas être écrit : %2</translation>
    </message>
</context>
<context>
    <name>TableDocument</name>
    <message>
        <source>Export Status</source>
        <translation>État de l'export</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Le rapport n'a pas pu être enregistré dans %1.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>An error has occured while attempting an export of the report.<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Une erreur s'est produite lors de l'export du rapport.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>Columns added to the table: %1.</source>
        <translation>Colonnes ajoutées au tableau : %1.</translation>
    </message>
</context>
<context>
    <name>TagField</name>
    <message>
        <source>&quot;%1&quot; cannot be kept: a text report holds only the letters, digits and signs of Western European languages.</source>
        <translation>« %1 » ne peut pas être conservé : un rapport texte ne contient que les lettres, chiffres et signes des langues d'Europe occidentale.</translation>
    </message>
</context>
<context>
    <name>TextDocument</name>
    <message>
        <source>Report File Location</source>
        <translation>Emplacement du fichier de rapport</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Fichiers texte</translation>
    </message>
    <message>
        <source>Export Status</source>
        <translation>État de l'export</translation>
    </message>
    <message>
        <source>The report could not be written to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Le rapport n'a pas pu être écrit dans %1.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
</context>
<context>
    <name>TextReportFile</name>
    <message>
        <source>1 character that a text report cannot hold was written as &quot;?&quot;.</source>
        <translation>1 caractère qu'un rapport texte ne peut pas contenir a été écrit « ? ».</translation>
    </message>
    <message numerus="yes">
        <source>%n characters that a text report cannot hold were written as &quot;?&quot;.</source>
        <translation>
            <numerusform>%n caractère qu'un rapport texte ne peut pas contenir a été écrit « ? ».</numerusform>
            <numerusform>%n caractères qu'un rapport texte ne peut pas contenir ont été écrits « ? ».</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TextReports</name>
    <message>
        <source>the line is longer than the %1 characters of a report line</source>
        <translation>la ligne dépasse les %1 caractères d'une ligne de rapport</translation>
    </message>
    <message>
        <source>the line holds control characters; this is not a text export</source>
        <translation>la ligne contient des caractères de contrôle ; ce n'est pas un export texte</translation>
    </message>
    <message>
        <source>no detector report in it (no &quot;S/N:&quot; line)</source>
        <translation>aucun rapport de détecteur (aucune ligne « S/N: »)</translation>
    </message>
    <message>
        <source>text before the first detector report</source>
        <translation>du texte avant le premier rapport de détecteur</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>cannot read %1: it is larger than 256 MiB, too large for a text export</source>
        <translation>impossible de lire %1 : il dépasse 256 Mio, trop pour un export texte</translation>
    </message>
</context>
<context>
    <name>TransferWidgets</name>
    <message>
        <source>The device is not attached to the system.  Please re-check the USB connection.</source>
        <translation>Le périphérique n'est pas branché au système.  Vérifiez la connexion USB.</translation>
    </message>
    <message>
        <source>

The adapter was found, but this user is not allowed to open it. Install the udev rule 70-lorimet-adapter.rules that comes with this program (cmake --install puts it into udev&apos;s rules directory), then unplug the adapter and plug it in again.</source>
        <translation>

L'adaptateur a été trouvé, mais cet utilisateur n'a pas le droit de l'ouvrir. Installez la règle udev 70-lorimet-adapter.rules fournie avec ce programme (cmake --install la place dans le répertoire des règles d'udev), puis débranchez et rebranchez l'adaptateur.</translation>
    </message>
    <message>
        <source>Initialization Error</source>
        <translation>Erreur d'initialisation</translation>
    </message>
</context>
<context>
    <name>XlsxWorkbook</name>
    <message>
        <source>The file is not an Excel workbook.</source>
        <translation>Le fichier n'est pas un classeur Excel.</translation>
    </message>
    <message>
        <source>The workbook has no worksheet.</source>
        <translation>Le classeur n'a aucune feuille de calcul.</translation>
    </message>
    <message>
        <source>The workbook&apos;s first sheet is not a worksheet (it may be a chart).</source>
        <translation>La première feuille du classeur n'est pas une feuille de calcul (c'est peut-être un graphique).</translation>
    </message>
    <message>
        <source>The workbook&apos;s first worksheet is too large to append to: it would take about %1 MiB of memory, more than %2 MiB.</source>
        <translation>La première feuille de calcul du classeur est trop grande pour y ajouter : il faudrait environ %1 Mio de mémoire, plus de %2 Mio.</translation>
    </message>
    <message>
        <source>The workbook&apos;s first worksheet is damaged.</source>
        <translation>La première feuille de calcul du classeur est endommagée.</translation>
    </message>
    <message>
        <source>The first worksheet, &quot;%1&quot;, holds no report table: its row 1 names none of the report&apos;s columns. Nothing was appended, so that no value goes to a column without its header.</source>
        <translation>La première feuille, « %1 », ne contient aucun tableau de rapport : sa ligne 1 ne nomme aucune colonne du rapport. Rien n'a été ajouté, pour qu'aucune valeur n'aille dans une colonne sans en-tête.</translation>
    </message>
    <message>
        <source>The worksheet has no column left for &quot;%1&quot;: its last column is used.</source>
        <translation>La feuille n'a plus de colonne libre pour « %1 » : sa dernière colonne est utilisée.</translation>
    </message>
    <message>
        <source>The worksheet &quot;%1&quot; that holds the table is hidden.</source>
        <translation>La feuille « %1 » qui contient le tableau est masquée.</translation>
    </message>
    <message>
        <source>The worksheet would need %1 rows, more than the %2 a worksheet can hold.</source>
        <translation>La feuille aurait besoin de %1 lignes, plus que les %2 qu'une feuille peut contenir.</translation>
    </message>
    <message>
        <source>The worksheet is too large to format: it would take about %1 MiB of memory, more than %2 MiB.</source>
        <translation>La feuille est trop grande pour être mise en forme : il faudrait environ %1 Mio de mémoire, plus de %2 Mio.</translation>
    </message>
    <message>
        <source>The worksheet&apos;s new rows could not be placed.</source>
        <translation>Les nouvelles lignes de la feuille n'ont pas pu être placées.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>frmAppend</name>
    <message>
        <source>This file already exists.  Please choose one of the options below:</source>
        <translation>Ce fichier existe déjà.  Choisissez l'une des options ci-dessous :</translation>
    </message>
    <message>
        <source>&amp;Append</source>
        <translation>A&amp;jouter</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>É&amp;craser</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <source> Append Options</source>
        <translation> Options d'ajout</translation>
    </message>
</context>
<context>
    <name>frmHistory</name>
    <message>
        <source>Report History</source>
        <translation>Historique des rapports</translation>
    </message>
    <message>
        <source>expired</source>
        <translation>expiré</translation>
    </message>
    <message>
        <source>ends-soon</source>
        <translation>expire bientôt</translation>
    </message>
    <message>
        <source>not-downloaded</source>
        <translation>non téléchargé</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Téléchargements</translation>
    </message>
    <message>
        <source>Last Download</source>
        <translation>Dernier téléchargement</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Life (Months)</source>
        <translation>Durée de vie (mois)</translation>
    </message>
    <message>
        <source>Ends</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Self Tests</source>
        <translation>Autotests</translation>
    </message>
    <message>
        <source>Alarm Events</source>
        <translation>Événements d'alarme</translation>
    </message>
    <message>
        <source>Highest Peak</source>
        <translation>Pic le plus élevé</translation>
    </message>
    <message>
        <source>Last Alarm Began</source>
        <translation>Début de la dernière alarme</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Import Text Reports</source>
        <translation>Importer des rapports texte</translation>
    </message>
    <message>
        <source>Text reports (*.txt)</source>
        <translation>Rapports texte (*.txt)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exporter en CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Téléchargé</translation>
    </message>
    <message>
        <source>Began</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>Peak</source>
        <translation>Pic</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>The archive has not answered yet; waiting for it up to %1 s.</source>
        <translation>L'archive n'a pas encore répondu ; attente jusqu'à %1 s.</translation>
    </message>
    <message>
        <source>The report archive cannot be opened:
%1</source>
        <translation>L'archive des rapports ne peut pas être ouverte :
%1</translation>
    </message>
    <message>
        <source>The site archive cannot be reached:
%1

The History shows this PC&apos;s archive.</source>
        <translation>L'archive du site est injoignable :
%1

L'historique montre l'archive de ce PC.</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Du</translation>
    </message>
    <message>
        <source>&amp;To</source>
        <translation>&amp;Au</translation>
    </message>
    <message>
        <source>&amp;Needs attention</source>
        <translation>À &amp;surveiller</translation>
    </message>
    <message>
        <source>&amp;Downloads</source>
        <translation>&amp;Téléchargements</translation>
    </message>
    <message>
        <source>&amp;Alarms of the Detector</source>
        <translation>&amp;Alarmes du détecteur</translation>
    </message>
    <message>
        <source>De&amp;tectors</source>
        <translation>Dé&amp;tecteurs</translation>
    </message>
    <message>
        <source>&amp;Put on Display</source>
        <translation>&amp;Mettre à l'affichage</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Enregistrer...</translation>
    </message>
    <message>
        <source>Export &amp;CSV...</source>
        <translation>Exporter en &amp;CSV...</translation>
    </message>
    <message>
        <source>D&amp;elete</source>
        <translation>Su&amp;pprimer</translation>
    </message>
    <message>
        <source>&amp;Import text reports...</source>
        <translation>&amp;Importer des rapports texte...</translation>
    </message>
    <message>
        <source>Archive &amp;location...</source>
        <translation>Empl&amp;acement de l'archive...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Select a download to see its detector&apos;s alarms.</source>
        <translation>Sélectionnez un téléchargement pour voir les alarmes de son détecteur.</translation>
    </message>
    <message>
        <source>Alarms of detector %1, in the order they began:</source>
        <translation>Alarmes du détecteur %1, dans l'ordre de leur début :</translation>
    </message>
    <message>
        <source>Select one or more downloads first.</source>
        <translation>Sélectionnez d'abord un ou plusieurs téléchargements.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d'écrire %1 : %2</translation>
    </message>
    <message numerus="yes">
        <source>%n alarm events written to %1.</source>
        <translation>
            <numerusform>%n événement d'alarme écrit dans %1.</numerusform>
            <numerusform>%n événements d'alarme écrits dans %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete the selected download from the archive?</source>
        <translation>Supprimer de l'archive le téléchargement sélectionné ?</translation>
    </message>
    <message numerus="yes">
        <source>Delete the %n selected downloads from the archive?</source>
        <translation>
            <numerusform>Supprimer de l'archive le %n téléchargement sélectionné ?</numerusform>
            <numerusform>Supprimer de l'archive les %n téléchargements sélectionnés ?</numerusform>
        </translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation>Importation...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Importing %1...</source>
        <translation>Importation de %1...</translation>
    </message>
    <message>
        <source>
%1, line %2: %3</source>
        <translation>
%1, ligne %2 : %3</translation>
    </message>
    <message>
        <source>The import was cancelled.</source>
        <translation>L'importation a été annulée.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>&amp;History</source>
        <translation>&amp;Historique</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&amp;Download from Adapter</source>
        <translation>&amp;Lire l'adaptateur</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>&amp;Clear Display</source>
        <translation>E&amp;ffacer l'affichage</translation>
    </message>
    <message>
        <source>&amp;Reset the Adapter</source>
        <translation>&amp;Réinit. l'adaptateur</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Export Status</source>
        <translation>État de l'export</translation>
    </message>
    <message>
        <source>No current report exists to save.</source>
        <translation>Il n'y a aucun rapport en cours à enregistrer.</translation>
    </message>
    <message>
        <source>The display is full: 1 line of the report just downloaded was left out.</source>
        <translation>L'affichage est plein : 1 ligne du rapport qui vient d'être téléchargé a été omise.</translation>
    </message>
    <message numerus="yes">
        <source>The display is full: %n lines of the report just downloaded were left out.</source>
        <translation>
            <numerusform>L'affichage est plein : %n ligne du rapport qui vient d'être téléchargé a été omise.</numerusform>
            <numerusform>L'affichage est plein : %n lignes du rapport qui vient d'être téléchargé ont été omises.</numerusform>
        </translation>
    </message>
    <message>
        <source>

Please save the display and clear it before the next download.</source>
        <translation>

Enregistrez l'affichage et effacez-le avant le prochain téléchargement.</translation>
    </message>
    <message>
        <source>The display contains missing and/or error characters that may disrupt formatting when saving
to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to the
Lorimet Adapter.

Would you like to keep the report just downloaded?</source>
        <translation>L'affichage contient des caractères manquants ou erronés qui peuvent perturber la mise en forme lors de l'enregistrement vers Microsoft Excel ou Microsoft Word.  Il est conseillé de renvoyer les données au Lorimet Adapter.

Voulez-vous conserver le rapport qui vient d'être téléchargé ?</translation>
    </message>
    <message>
        <source>Lorimet Adapter Confirmation</source>
        <translation>Lorimet Adapter – Confirmation</translation>
    </message>
</context>
<context>
    <name>frmProgress</name>
    <message>
        <source>Data Transfer Status</source>
        <translation>État du transfert</translation>
    </message>
    <message>
        <source>Connecting To Lorimet Adapter ...</source>
        <translation>Connexion au Lorimet Adapter ...</translation>
    </message>
    <message>
        <source>Initiating Data Transfer ...</source>
        <translation>Lancement du transfert ...</translation>
    </message>
    <message>
        <source>Receiving Lorimet Adapter Data ...</source>
        <translation>Réception depuis l'adaptateur ...</translation>
    </message>
    <message>
        <source>Data Transfer Complete</source>
        <translation>Transfert terminé</translation>
    </message>
    <message>
        <source>Connected To Lorimet Adapter</source>
        <translation>Connecté au Lorimet Adapter</translation>
    </message>
    <message>
        <source>Data Transfer Initiated</source>
        <translation>Transfert lancé</translation>
    </message>
    <message>
        <source>Lorimet Adapter Data Received</source>
        <translation>Données du Lorimet Adapter reçues</translation>
    </message>
</context>
<context>
    <name>frmReportTagging</name>
    <message>
        <source>Report Tagging</source>
        <translation>Marquage du rapport</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Date :</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Heure :</translation>
    </message>
    <message>
        <source>Serial #:</source>
        <translation>N° série :</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Utilisateur :</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
</context>
<context>
    <name>frmReset</name>
    <message>
        <source>Device Status</source>
        <translation>État du périphérique</translation>
    </message>
    <message>
        <source>Resetting Lorimet Data Adapter...</source>
        <translation>Réinitialisation du Lorimet Adapter...</translation>
    </message>
    <message>
        <source>Lorimet Adapter reset complete</source>
        <translation>Lorimet Adapter réinitialisé</translation>
    </message>
</context>
<context>
    <name>frmSave</name>
    <message>
        <source>Save As</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>Microsoft Windows Text File</source>
        <translation>Fichier texte Microsoft Windows</translation>
    </message>
    <message>
        <source>Microsoft Word Document</source>
        <translation>Document Microsoft Word</translation>
    </message>
    <message>
        <source>Microsoft Excel Document</source>
        <translation>Document Microsoft Excel</translation>
    </message>
    <message>
        <source>&amp;PDF</source>
        <translation>&amp;PDF</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>P&amp;rint...</source>
        <translation>Imp&amp;rimer...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <source>Save Options</source>
        <translation>Options d'enregistrement</translation>
    </message>
    <message>
        <source>Save the Report as PDF</source>
        <translation>Enregistrer le rapport en PDF</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>Fichiers PDF</translation>
    </message>
    <message>
        <source>%1 already exists.<byte value="xd"/>
Do you want to replace it?</source>
        <translation>%1 existe déjà.<byte value="xd"/>
Voulez-vous le remplacer ?</translation>
    </message>
    <message>
        <source>Save the Data File as MS Word</source>
        <translation>Enregistrer les données en MS Word</translation>
    </message>
    <message>
        <source>MsWord Files</source>
        <translation>Fichiers MS Word</translation>
    </message>
    <message>
        <source>Save the Data File as Excel Sheet</source>
        <translation>Enregistrer les données en feuille Excel</translation>
    </message>
    <message>
        <source>Excel Files</source>
        <translation>Fichiers Excel</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Usage: %1 [-h | --help | --version]
Downloads the event log of an H2S gas detector through the Lorimet Adapter, shows it
in a window and saves it as text, a Word document or an Excel workbook.

  -h, --help  Show this help and exit.
  --version   Show the version and exit.
</source>
        <translation>Usage : %1 [-h | --help | --version]
Télécharge le journal d'événements d'un détecteur de gaz H2S par le Lorimet Adapter,
l'affiche dans une fenêtre et l'enregistre en texte, document Word ou classeur Excel.

  -h, --help  Afficher cette aide et quitter.
  --version   Afficher la version et quitter.
</translation>
    </message>
</context>
</TS>
