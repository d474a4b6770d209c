<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>APICommonDialog</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Alle Dateien</translation>
    </message>
</context>
<context>
    <name>AlarmChartView</name>
    <message>
        <source>Began %1
Peak %2
Duration %3</source>
        <translation>Beginn %1
Spitzenwert %2
Dauer %3</translation>
    </message>
</context>
<context>
    <name>CaptureFile</name>
    <message>
        <source>the delay must be &quot;+&quot; followed by milliseconds</source>
        <translation>die Verzögerung muss "+" gefolgt von Millisekunden sein</translation>
    </message>
    <message>
        <source>expected %1 hex bytes, found %2</source>
        <translation>%1 Hex-Bytes erwartet, %2 gefunden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a two-digit hex byte</source>
        <translation>"%1" ist kein zweistelliges Hex-Byte</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB, too large for a capture</source>
        <translation>sie ist größer als %1 MiB, zu groß für eine Aufzeichnung</translation>
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
        <translation>Aufruf: lorimet-report archive [--archive DATEI] [--timeout SEKUNDEN] BEFEHL
  list [FILTER] [--format table|csv|json]    die archivierten Downloads, neueste zuerst
  show ID                                     die Zeilen eines Downloads
  alarms --serial S                           die Alarme eines Gaswarngeräts in der Reihenfolge ihres Beginns
  detectors [--as-of JJJJ-MM-TT] [--ends-within TAGE] [--not-downloaded-for TAGE] [--attention]
            [--format table|csv|json]         Lebensdauer, letzter Download und Alarme jedes Gaswarngeräts
  export --format txt|csv|xlsx|docx|pdf [FILTER] [--append] AUSGABE
                                              die Zeilen der Downloads, älteste zuerst, wie export sie schreibt
  import DATEI...                             die Berichte von Textexporten, die noch nicht archiviert sind
  check                                       nach Schäden suchen
FILTER: --serial S, --user U, --since JJJJ-MM-TT, --until JJJJ-MM-TT
Das Archiv ist LORIMET_ARCHIVE, wenn gesetzt, sonst das des Programms. Der Server eines Standortarchivs,
der einen Aufruf nicht binnen SEKUNDEN (30) beantwortet, wird aufgegeben.
</translation>
    </message>
    <message>
        <source>%1 is not a date; DATE is YYYY-MM-DD</source>
        <translation>%1 ist kein Datum; DATUM ist JJJJ-MM-TT</translation>
    </message>
    <message>
        <source>%1 is not a number of days from 0 to 36500</source>
        <translation>%1 ist keine Anzahl Tage von 0 bis 36500</translation>
    </message>
    <message>
        <source>%1 is not a number of seconds from 1 to 86400</source>
        <translation>%1 ist keine Anzahl Sekunden von 1 bis 86400</translation>
    </message>
    <message>
        <source>%1 is not a download&apos;s ID</source>
        <translation>%1 ist keine ID eines Downloads</translation>
    </message>
    <message>
        <source>no archived download matches</source>
        <translation>kein archivierter Download passt</translation>
    </message>
    <message>
        <source>the selected downloads</source>
        <translation>die ausgewählten Downloads</translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n reports</source>
        <translation>
            <numerusform>%1: %2 von %n Bericht</numerusform>
            <numerusform>%1: %2 von %n Berichten</numerusform>
        </translation>
    </message>
    <message>
        <source>some reports could not be read</source>
        <translation>einige Berichte konnten nicht gelesen werden</translation>
    </message>
    <message numerus="yes">
        <source>%n downloads</source>
        <translation>
            <numerusform>%n Download</numerusform>
            <numerusform>%n Downloads</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarms</source>
        <translation>
            <numerusform>%n Alarm</numerusform>
            <numerusform>%n Alarme</numerusform>
        </translation>
    </message>
    <message>
        <source>the archive is damaged</source>
        <translation>das Archiv ist beschädigt</translation>
    </message>
    <message>
        <source>Usage: %1 COMMAND [ARGUMENTS]</source>
        <translation>Aufruf: %1 BEFEHL [ARGUMENTE]</translation>
    </message>
    <message>
        <source>Works with the reports of the Lorimet Adapter without opening a window.</source>
        <translation>Arbeitet mit den Berichten des Lorimet Adapters, ohne ein Fenster zu öffnen.</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>Show this help; after a command, that command&apos;s usage.</source>
        <translation>Diese Hilfe zeigen; nach einem Befehl dessen Aufruf.</translation>
    </message>
    <message>
        <source>Show the version of %1.</source>
        <translation>Die Version von %1 zeigen.</translation>
    </message>
    <message>
        <source>Print the report lines a download of the captured input reports adds.</source>
        <translation>Die Berichtszeilen ausgeben, die ein Download der aufgezeichneten Eingabereports hinzufügt.</translation>
    </message>
    <message>
        <source>Run one transfer on the attached adapter and save its input reports.</source>
        <translation>Eine Übertragung am angeschlossenen Adapter ausführen und ihre Eingabereports speichern.</translation>
    </message>
    <message>
        <source>Append a saved text report to OUTPUT (txt) or write its event table (csv, xlsx, docx).</source>
        <translation>Einen gespeicherten Textbericht an OUTPUT anhängen (txt) oder seine Ereignistabelle schreiben (csv, xlsx, docx).</translation>
    </message>
    <message>
        <source>List, show, export and import the archived downloads, and check the archive.</source>
        <translation>Die archivierten Downloads auflisten, zeigen, exportieren und importieren und das Archiv prüfen.</translation>
    </message>
    <message>
        <source>a command is missing.</source>
        <translation>ein Befehl fehlt.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>Siehe '%1 --help'.</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;.</source>
        <translation>unbekannter Befehl "%1".</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>it is larger than 256 MiB, too large for a report</source>
        <translation>sie ist größer als 256 MiB, zu groß für einen Bericht</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>die Standardausgabe</translation>
    </message>
    <message>
        <source>it takes text only</source>
        <translation>sie nimmt nur Text an</translation>
    </message>
    <message>
        <source>it is the report being exported, %1</source>
        <translation>sie ist der Bericht, der exportiert wird, %1</translation>
    </message>
    <message numerus="yes">
        <source>%n lines appended to %1</source>
        <translation>
            <numerusform>%n Zeile an %1 angehängt</numerusform>
            <numerusform>%n Zeilen an %1 angehängt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n events written to %1</source>
        <translation>
            <numerusform>%n Ereignis in %1 geschrieben</numerusform>
            <numerusform>%n Ereignisse in %1 geschrieben</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>die Standardausgabe kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>the Lorimet Adapter is attached, but you may not open it.
Install the udev rule that grants access to it, then plug the adapter in again.</source>
        <translation>der Lorimet Adapter ist angeschlossen, aber Sie dürfen ihn nicht öffnen.
Installieren Sie die udev-Regel, die den Zugriff erlaubt, und stecken Sie den Adapter dann neu ein.</translation>
    </message>
    <message>
        <source>no Lorimet Adapter is attached. Please re-check the USB connection.</source>
        <translation>kein Lorimet Adapter ist angeschlossen. Bitte prüfen Sie die USB-Verbindung.</translation>
    </message>
    <message numerus="yes">
        <source>Recorded %n input reports to %1.</source>
        <translation>
            <numerusform>%n Eingabereport in %1 aufgezeichnet.</numerusform>
            <numerusform>%n Eingabereports in %1 aufgezeichnet.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DocumentViewer</name>
    <message>
        <source>The report was saved to %1, but no program could be started to show it.</source>
        <translation>Der Bericht wurde in %1 gespeichert, aber kein Programm konnte gestartet werden, um ihn anzuzeigen.</translation>
    </message>
</context>
<context>
    <name>DocxDocument</name>
    <message>
        <source>The file is not a Word document.</source>
        <translation>Die Datei ist kein Word-Dokument.</translation>
    </message>
    <message>
        <source>The main part of the document is not a WordprocessingML document.</source>
        <translation>Der Hauptteil des Dokuments ist kein WordprocessingML-Dokument.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has no column grid (w:tblGrid), which says how wide its columns are; open the document in Word or LibreOffice, save it again and try once more.</source>
        <translation>Die erste Tabelle des Dokuments hat kein Spaltenraster (w:tblGrid), das die Breite ihrer Spalten angibt; öffnen Sie das Dokument in Word oder LibreOffice, speichern Sie es erneut und versuchen Sie es noch einmal.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has more columns than Word allows.</source>
        <translation>Die erste Tabelle des Dokuments hat mehr Spalten, als Word erlaubt.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has no rows.</source>
        <translation>Die erste Tabelle des Dokuments hat keine Zeilen.</translation>
    </message>
    <message>
        <source>The header row of the document&apos;s first table does not span all its columns.</source>
        <translation>Die Kopfzeile der ersten Tabelle des Dokuments reicht nicht über alle Spalten.</translation>
    </message>
    <message>
        <source>The document holds no report table: no table&apos;s first row names a column of the report (such as &quot;Download On&quot;). Nothing was appended, so that no value goes to a column without its header.</source>
        <translation>Das Dokument enthält keine Berichtstabelle: Keine erste Tabellenzeile nennt eine Spalte des Berichts (wie "Download On"). Es wurde nichts angehängt, damit kein Wert in eine Spalte ohne Überschrift gerät.</translation>
    </message>
    <message>
        <source>The document holds no table to append the report to.</source>
        <translation>Das Dokument enthält keine Tabelle, an die der Bericht angehängt werden kann.</translation>
    </message>
    <message>
        <source>The table&apos;s rows could not be placed.</source>
        <translation>Die Zeilen der Tabelle konnten nicht eingefügt werden.</translation>
    </message>
</context>
<context>
    <name>DownloadArchive</name>
    <message>
        <source>A site archive is a PostgreSQL server: postgresql://user@host:port/database</source>
        <translation>Ein Standortarchiv ist ein PostgreSQL-Server: postgresql://user@host:port/database</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be written.</source>
        <translation>Die Einstellungsdatei %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The download could not be kept in the report archive:
%1

It stays on the display and can be saved as usual.</source>
        <translation>Der Download konnte nicht im Berichtsarchiv aufbewahrt werden:
%1

Er bleibt in der Anzeige und kann wie gewohnt gespeichert werden.</translation>
    </message>
    <message>
        <source>The site archive cannot be reached: downloads are kept on this PC; will be sent to the site archive when it can be reached again.

%1</source>
        <translation>Das Standortarchiv ist nicht erreichbar: Downloads werden auf diesem PC aufbewahrt und an das Standortarchiv gesendet, sobald es wieder erreichbar ist.

%1</translation>
    </message>
    <message>
        <source>Archive Location</source>
        <translation>Ort des Archivs</translation>
    </message>
    <message>
        <source>A site archive on a PostgreSQL server that the PCs of the site share,
as postgresql://user@host:port/database (the password comes from
~/.pgpass or PGPASSWORD). Empty: this PC&apos;s archive only.</source>
        <translation>Ein Standortarchiv auf einem PostgreSQL-Server, das die PCs des Standorts teilen,
als postgresql://user@host:port/database (das Passwort kommt aus
~/.pgpass oder PGPASSWORD). Leer: nur das Archiv dieses PCs.</translation>
    </message>
</context>
<context>
    <name>OoxmlPackage</name>
    <message>
        <source>an entry without a name</source>
        <translation>einen Eintrag ohne Namen</translation>
    </message>
    <message>
        <source>an entry with an absolute path (%1)</source>
        <translation>einen Eintrag mit absolutem Pfad (%1)</translation>
    </message>
    <message>
        <source>an entry with a relative path (%1)</source>
        <translation>einen Eintrag mit relativem Pfad (%1)</translation>
    </message>
    <message>
        <source>The file is password-protected (encrypted). Remove the password in the program that made it and try again.</source>
        <translation>Die Datei ist kennwortgeschützt (verschlüsselt). Entfernen Sie das Kennwort in dem Programm, das sie erstellt hat, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The file is in an older binary Office format, which is not supported. Save it as a .docx or .xlsx file first.</source>
        <translation>Die Datei hat ein älteres binäres Office-Format, das nicht unterstützt wird. Speichern Sie sie zuerst als .docx- oder .xlsx-Datei.</translation>
    </message>
    <message>
        <source>The part %1 holds a document type declaration (DOCTYPE); DOCTYPEs are refused, as Office documents never contain one.</source>
        <translation>Der Teil %1 enthält eine Dokumenttypdeklaration (DOCTYPE); DOCTYPEs werden abgelehnt, da Office-Dokumente nie eine enthalten.</translation>
    </message>
    <message>
        <source>The part %1 is damaged: %2 at byte %3.</source>
        <translation>Der Teil %1 ist beschädigt: %2 bei Byte %3.</translation>
    </message>
    <message>
        <source>The file is open in another program: %1. Close it and save again.</source>
        <translation>Die Datei ist in einem anderen Programm geöffnet: %1. Schließen Sie sie und speichern Sie erneut.</translation>
    </message>
    <message>
        <source>The file is empty, not a Word or Excel document.</source>
        <translation>Die Datei ist leer, kein Word- oder Excel-Dokument.</translation>
    </message>
    <message>
        <source>The file is not a Word or Excel document: it is not a zip archive, or a damaged one.</source>
        <translation>Die Datei ist kein Word- oder Excel-Dokument: Sie ist kein oder ein beschädigtes Zip-Archiv.</translation>
    </message>
    <message>
        <source>The file cannot be read as a zip archive: %1.</source>
        <translation>Die Datei kann nicht als Zip-Archiv gelesen werden: %1.</translation>
    </message>
    <message>
        <source>The archive is damaged: %1.</source>
        <translation>Das Zip-Archiv ist beschädigt: %1.</translation>
    </message>
    <message>
        <source>The archive holds %1; it is not read.</source>
        <translation>Das Zip-Archiv enthält %1; es wird nicht gelesen.</translation>
    </message>
    <message>
        <source>The file is damaged: two parts named %1.</source>
        <translation>Die Datei ist beschädigt: zwei Teile namens %1.</translation>
    </message>
    <message>
        <source>The part %1 would inflate to more than %2 MiB; it is not read.</source>
        <translation>Der Teil %1 würde entpackt mehr als %2 MiB groß; er wird nicht gelesen.</translation>
    </message>
    <message>
        <source>The part %1 is compressed more than %2 to 1, as a zip bomb is; it is not read.</source>
        <translation>Der Teil %1 ist stärker als %2 zu 1 komprimiert, wie eine Zip-Bombe; er wird nicht gelesen.</translation>
    </message>
    <message>
        <source>The file is a zip archive but not a Word or Excel document.</source>
        <translation>Die Datei ist ein Zip-Archiv, aber kein Word- oder Excel-Dokument.</translation>
    </message>
    <message>
        <source>The file is saved as Strict Open XML, which is not supported. Save it in the usual Office Open XML format and try again.</source>
        <translation>Die Datei ist als Strict Open XML gespeichert, was nicht unterstützt wird. Speichern Sie sie im üblichen Office-Open-XML-Format und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The file has no main document part.</source>
        <translation>Die Datei hat keinen Hauptdokumentteil.</translation>
    </message>
    <message>
        <source>The file&apos;s main document part %1 is missing.</source>
        <translation>Der Hauptdokumentteil %1 der Datei fehlt.</translation>
    </message>
    <message>
        <source>The part %1 is missing.</source>
        <translation>Der Teil %1 fehlt.</translation>
    </message>
    <message>
        <source>The part %1 cannot be read: %2</source>
        <translation>Der Teil %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>its size does not match the archive&apos;s directory.</source>
        <translation>seine Größe passt nicht zum Verzeichnis des Zip-Archivs.</translation>
    </message>
</context>
<context>
    <name>PrintedDocument</name>
    <message>
        <source>Printed Report</source>
        <translation>Gedruckter Bericht</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Der Bericht konnte nicht in %1 gespeichert werden.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>The report could not be printed.<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Der Bericht konnte nicht gedruckt werden.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>ReportArchive</name>
    <message>
        <source>cannot be checked</source>
        <translation>kann nicht geprüft werden</translation>
    </message>
    <message>
        <source>download %1: its lines are not those it was stored with</source>
        <translation>Download %1: seine Zeilen sind nicht die, mit denen er gespeichert wurde</translation>
    </message>
    <message>
        <source>download %1: %2 alarm events, but %3 rows in its event table and %4 alarms</source>
        <translation>Download %1: %2 Alarmereignisse, aber %3 Zeilen in seiner Ereignistabelle und %4 Alarme</translation>
    </message>
    <message>
        <source>%1 alarms that no download recorded</source>
        <translation>%1 Alarme, die kein Download verzeichnet hat</translation>
    </message>
    <message>
        <source>%1 is not a file; the archive must be one</source>
        <translation>%1 ist keine Datei; das Archiv muss eine sein</translation>
    </message>
    <message>
        <source>there is no archive at %1</source>
        <translation>unter %1 gibt es kein Archiv</translation>
    </message>
    <message>
        <source>cannot create the folder of the archive %1</source>
        <translation>der Ordner des Archivs %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot open the archive %1: %2</source>
        <translation>das Archiv %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a report archive or is damaged (%2); it is left as it is</source>
        <translation>%1 ist kein Berichtsarchiv oder beschädigt (%2); es bleibt, wie es ist</translation>
    </message>
    <message>
        <source>cannot connect to the archive %1: %2</source>
        <translation>keine Verbindung zum Archiv %1: %2</translation>
    </message>
    <message>
        <source>the archive %1 cannot be read: %2</source>
        <translation>das Archiv %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the archive URL must not hold a password; put it into the password file (~/.pgpass) or PGPASSWORD</source>
        <translation>die Archiv-URL darf kein Passwort enthalten; tragen Sie es in die Passwortdatei (~/.pgpass) oder PGPASSWORD ein</translation>
    </message>
    <message>
        <source>%1 is not an archive URL; it takes the form postgresql://user@host:port/database, with settings of libpq after a &apos;?&apos; (such as ?sslmode=require)</source>
        <translation>%1 ist keine Archiv-URL; sie hat die Form postgresql://user@host:port/database, mit Einstellungen von libpq nach einem '?' (wie ?sslmode=require)</translation>
    </message>
    <message>
        <source>the location</source>
        <translation>der Ort</translation>
    </message>
    <message>
        <source>Qt&apos;s PostgreSQL driver is not installed (Debian: libqt6sql6-psql)</source>
        <translation>Der PostgreSQL-Treiber von Qt ist nicht installiert (Debian: libqt6sql6-psql)</translation>
    </message>
    <message numerus="yes">
        <source>%n reports added</source>
        <translation>
            <numerusform>%n Bericht hinzugefügt</numerusform>
            <numerusform>%n Berichte hinzugefügt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already in the archive</source>
        <translation>
            <numerusform>%n bereits im Archiv</numerusform>
            <numerusform>%n bereits im Archiv</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unreadable</source>
        <translation>
            <numerusform>%n unlesbar</numerusform>
            <numerusform>%n unlesbar</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the archive %1 holds no download %2</source>
        <translation>das Archiv %1 enthält keinen Download %2</translation>
    </message>
    <message>
        <source>cannot be searched</source>
        <translation>kann nicht durchsucht werden</translation>
    </message>
    <message>
        <source>cannot store a download</source>
        <translation>kann keinen Download speichern</translation>
    </message>
    <message>
        <source>the archive %1 did not answer within %2 s; the connection was closed and nothing was changed</source>
        <translation>das Archiv %1 hat nicht binnen %2 s geantwortet; die Verbindung wurde geschlossen und nichts geändert</translation>
    </message>
    <message>
        <source>the archive %1 %2: %3</source>
        <translation>das Archiv %1 %2: %3</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>kann nicht beschrieben werden</translation>
    </message>
    <message>
        <source>%1 is a database of another program, not a report archive; it is left as it is</source>
        <translation>%1 ist eine Datenbank eines anderen Programms, kein Berichtsarchiv; sie bleibt, wie sie ist</translation>
    </message>
    <message>
        <source>the archive %1 was made by a newer version of this program; it is left as it is</source>
        <translation>das Archiv %1 wurde von einer neueren Version dieses Programms angelegt; es bleibt, wie es ist</translation>
    </message>
    <message>
        <source>the archive %1 must be brought up to date by storing in it once</source>
        <translation>das Archiv %1 muss aktualisiert werden, indem einmal darin gespeichert wird</translation>
    </message>
    <message>
        <source>cannot be created</source>
        <translation>kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot be brought up to date</source>
        <translation>kann nicht aktualisiert werden</translation>
    </message>
    <message>
        <source>the archive %1 was made by a newer version of this program</source>
        <translation>das Archiv %1 wurde von einer neueren Version dieses Programms angelegt</translation>
    </message>
</context>
<context>
    <name>ReportExport</name>
    <message>
        <source>the report</source>
        <translation>der Bericht</translation>
    </message>
    <message>
        <source>%1 holds more alarm events than the %2 rows of a worksheet can take</source>
        <translation>%1 enthält mehr Alarmereignisse, als die %2 Zeilen eines Arbeitsblatts aufnehmen können</translation>
    </message>
    <message>
        <source>%1 holds more than the %2 alarm events a printed report takes</source>
        <translation>%1 enthält mehr als die %2 Alarmereignisse, die ein gedruckter Bericht aufnimmt</translation>
    </message>
    <message>
        <source>this document is written to a file only</source>
        <translation>dieses Dokument wird nur in eine Datei geschrieben</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>%1 is a symbolic link that another user put in a folder everyone may write to; it is not followed.</source>
        <translation>%1 ist ein symbolischer Link, den ein anderer Benutzer in einen für alle beschreibbaren Ordner gelegt hat; ihm wird nicht gefolgt.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a file.</source>
        <translation>%1 ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>%1 is being written by another export of this program.</source>
        <translation>%1 wird gerade von einem anderen Export dieses Programms geschrieben.</translation>
    </message>
    <message>
        <source>%1 keeps being replaced by another program.</source>
        <translation>%1 wird ständig von einem anderen Programm ersetzt.</translation>
    </message>
    <message>
        <source>The file is larger than %1 MiB.</source>
        <translation>Die Datei ist größer als %1 MiB.</translation>
    </message>
    <message>
        <source>%1 is not the file that was read.</source>
        <translation>%1 ist nicht die Datei, die gelesen wurde.</translation>
    </message>
    <message>
        <source>%1 has other hard links, which replacing it would separate from it; save to another file.</source>
        <translation>%1 hat weitere harte Links, die ein Ersetzen von ihr trennen würde; speichern Sie in eine andere Datei.</translation>
    </message>
    <message>
        <source>The name %1 is too long for the temporary file that is written beside it; choose a shorter name.</source>
        <translation>Der Name %1 ist zu lang für die temporäre Datei, die daneben geschrieben wird; wählen Sie einen kürzeren Namen.</translation>
    </message>
    <message>
        <source>%1 now belongs to you; its owner could not be kept.</source>
        <translation>%1 gehört jetzt Ihnen; sein Eigentümer konnte nicht beibehalten werden.</translation>
    </message>
    <message>
        <source>%1 now belongs to you and your group; its owner and group could not be kept.</source>
        <translation>%1 gehört jetzt Ihnen und Ihrer Gruppe; Eigentümer und Gruppe konnten nicht beibehalten werden.</translation>
    </message>
    <message>
        <source>%1 was changed by another program while the report was being written.</source>
        <translation>%1 wurde von einem anderen Programm geändert, während der Bericht geschrieben wurde.</translation>
    </message>
    <message>
        <source>%1 was cut back to %2 bytes, its length before an export to it that did not finish.</source>
        <translation>%1 wurde auf %2 Bytes gekürzt, seine Länge vor einem nicht beendeten Export dorthin.</translation>
    </message>
    <message>
        <source>The journal&apos;s folder %1 cannot be made</source>
        <translation>Der Ordner %1 des Journals kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>The journal %1 cannot be written: %2</source>
        <translation>Das Journal %1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>TableDocument</name>
    <message>
        <source>Export Status</source>
        <translation>Exportstatus</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Der Bericht konnte nicht in %1 gespeichert werden.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>An error has occured while attempting an export of the report.<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Beim Exportieren des Berichts ist ein Fehler aufgetreten.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>Columns added to the table: %1.</source>
        <translation>Der Tabelle hinzugefügte Spalten: %1.</translation>
    </message>
</context>
<context>
    <name>TagField</name>
    <message>
        <source>&quot;%1&quot; cannot be kept: a text report holds only the letters, digits and signs of Western European languages.</source>
        <translation>"%1" kann nicht übernommen werden: Ein Textbericht enthält nur die Buchstaben, Ziffern und Zeichen westeuropäischer Sprachen.</translation>
    </message>
</context>
<context>
    <name>TextDocument</name>
    <message>
        <source>Report File Location</source>
        <translation>Speicherort der Berichtsdatei</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Textdateien</translation>
    </message>
    <message>
        <source>Export Status</source>
        <translation>Exportstatus</translation>
    </message>
    <message>
        <source>The report could not be written to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Der Bericht konnte nicht in %1 geschrieben werden.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
</context>
<context>
    <name>TextReportFile</name>
    <message>
        <source>1 character that a text report cannot hold was written as &quot;?&quot;.</source>
        <translation>1 Zeichen, das ein Textbericht nicht aufnehmen kann, wurde als "?" geschrieben.</translation>
    </message>
    <message numerus="yes">
        <source>%n characters that a text report cannot hold were written as &quot;?&quot;.</source>
        <translation>
            <numerusform>%n Zeichen, das ein Textbericht nicht aufnehmen kann, wurde als "?" geschrieben.</numerusform>
            <numerusform>%n Zeichen, die ein Textbericht nicht aufnehmen kann, wurden als "?" geschrieben.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TextReports</name>
    <message>
        <source>the line is longer than the %1 characters of a report line</source>
        <translation>die Zeile ist länger als die %1 Zeichen einer Berichtszeile</translation>
    </message>
    <message>
        <source>the line holds control characters; this is not a text export</source>
        <translation>die Zeile enthält Steuerzeichen; dies ist kein Textexport</translation>
    </message>
    <message>
        <source>no detector report in it (no &quot;S/N:&quot; line)</source>
        <translation>kein Bericht eines Gaswarngeräts darin (keine Zeile "S/N:")</translation>
    </message>
    <message>
        <source>text before the first detector report</source>
        <translation>Text vor dem ersten Bericht eines Gaswarngeräts</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot read %1: it is larger than 256 MiB, too large for a text export</source>
        <translation>%1 kann nicht gelesen werden: sie ist größer als 256 MiB, zu groß für einen Textexport</translation>
    </message>
</context>
<context>
    <name>TransferWidgets</name>
    <message>
        <source>The device is not attached to the system.  Please re-check the USB connection.</source>
        <translation>Das Gerät ist nicht mit dem System verbunden.  Bitte prüfen Sie die USB-Verbindung.</translation>
    </message>
    <message>
        <source>

The adapter was found, but this user is not allowed to open it. Install the udev rule 70-lorimet-adapter.rules that comes with this program (cmake --install puts it into udev&apos;s rules directory), then unplug the adapter and plug it in again.</source>
        <translation>

Der Adapter wurde gefunden, aber dieser Benutzer darf ihn nicht öffnen. Installieren Sie die udev-Regel 70-lorimet-adapter.rules, die mit diesem Programm kommt (cmake --install legt sie in das Regelverzeichnis von udev), ziehen Sie dann den Adapter ab und stecken Sie ihn wieder ein.</translation>
    </message>
    <message>
        <source>Initialization Error</source>
        <translation>Initialisierungsfehler</translation>
    </message>
</context>
<context>
    <name>XlsxWorkbook</name>
    <message>
        <source>The file is not an Excel workbook.</source>
        <translation>Die Datei ist keine Excel-Arbeitsmappe.</translation>
    </message>
    <message>
        <source>The workbook has no worksheet.</source>
        <translation>Die Arbeitsmappe hat kein Arbeitsblatt.</translation>
    </message>
    <message>
        <source>The workbook&apos;s first sheet is not a worksheet (it may be a chart).</source>
        <translation>Das erste Blatt der Arbeitsmappe ist kein Arbeitsblatt (vielleicht ein Diagramm).</translation>
    </message>
    <message>
        <source>The workbook&apos;s first worksheet is too large to append to: it would take about %1 MiB of memory, more than %2 MiB.</source>
        <translation>Das erste Arbeitsblatt der Arbeitsmappe ist zu groß zum Anhängen: Es bräuchte etwa %1 MiB Speicher, mehr als %2 MiB.</translation>
    </message>
    <message>
        <source>The workbook&apos;s first worksheet is damaged.</source>
        <translation>Das erste Arbeitsblatt der Arbeitsmappe ist beschädigt.</translation>
    </message>
    <message>
        <source>The first worksheet, &quot;%1&quot;, holds no report table: its row 1 names none of the report&apos;s columns. Nothing was appended, so that no value goes to a column without its header.</source>
        <translation>Das erste Arbeitsblatt, "%1", enthält keine Berichtstabelle: Seine Zeile 1 nennt keine Spalte des Berichts. Es wurde nichts angehängt, damit kein Wert in eine Spalte ohne Überschrift gerät.</translation>
    </message>
    <message>
        <source>The worksheet has no column left for &quot;%1&quot;: its last column is used.</source>
        <translation>Das Arbeitsblatt hat keine Spalte mehr frei für "%1": Seine letzte Spalte ist belegt.</translation>
    </message>
    <message>
        <source>The worksheet &quot;%1&quot; that holds the table is hidden.</source>
        <translation>Das Arbeitsblatt "%1", das die Tabelle enthält, ist ausgeblendet.</translation>
    </message>
    <message>
        <source>The worksheet would need %1 rows, more than the %2 a worksheet can hold.</source>
        <translation>Das Arbeitsblatt bräuchte %1 Zeilen, mehr als die %2, die ein Arbeitsblatt fassen kann.</translation>
    </message>
    <message>
        <source>The worksheet is too large to format: it would take about %1 MiB of memory, more than %2 MiB.</source>
        <translation>Das Arbeitsblatt ist zu groß zum Formatieren: Es bräuchte etwa %1 MiB Speicher, mehr als %2 MiB.</translation>
    </message>
    <message>
        <source>The worksheet&apos;s new rows could not be placed.</source>
        <translation>Die neuen Zeilen des Arbeitsblatts konnten nicht eingefügt werden.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
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
        <translation>Diese Datei existiert bereits.  Bitte wählen Sie eine der folgenden Möglichkeiten:</translation>
    </message>
    <message>
        <source>&amp;Append</source>
        <translation>&amp;Anhängen</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>Ü&amp;berschreiben</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source> Append Options</source>
        <translation> Optionen zum Anhängen</translation>
    </message>
</context>
<context>
    <name>frmHistory</name>
    <message>
        <source>Report History</source>
        <translation>Berichtsverlauf</translation>
    </message>
    <message>
        <source>expired</source>
        <translation>abgelaufen</translation>
    </message>
    <message>
        <source>ends-soon</source>
        <translation>läuft bald ab</translation>
    </message>
    <message>
        <source>not-downloaded</source>
        <translation>nicht ausgelesen</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Last Download</source>
        <translation>Letzter Download</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Life (Months)</source>
        <translation>Lebensdauer (Monate)</translation>
    </message>
    <message>
        <source>Ends</source>
        <translation>Endet</translation>
    </message>
    <message>
        <source>Self Tests</source>
        <translation>Selbsttests</translation>
    </message>
    <message>
        <source>Alarm Events</source>
        <translation>Alarmereignisse</translation>
    </message>
    <message>
        <source>Highest Peak</source>
        <translation>Höchster Spitzenwert</translation>
    </message>
    <message>
        <source>Last Alarm Began</source>
        <translation>Beginn des letzten Alarms</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Import Text Reports</source>
        <translation>Textberichte importieren</translation>
    </message>
    <message>
        <source>Text reports (*.txt)</source>
        <translation>Textberichte (*.txt)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Ausgelesen</translation>
    </message>
    <message>
        <source>Began</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>Peak</source>
        <translation>Spitzenwert</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>The archive has not answered yet; waiting for it up to %1 s.</source>
        <translation>Das Archiv hat noch nicht geantwortet; es wird bis zu %1 s gewartet.</translation>
    </message>
    <message>
        <source>The report archive cannot be opened:
%1</source>
        <translation>Das Berichtsarchiv kann nicht geöffnet werden:
%1</translation>
    </message>
    <message>
        <source>The site archive cannot be reached:
%1

The History shows this PC&apos;s archive.</source>
        <translation>Das Standortarchiv ist nicht erreichbar:
%1

Der Verlauf zeigt das Archiv dieses PCs.</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Von</translation>
    </message>
    <message>
        <source>&amp;To</source>
        <translation>&amp;Bis</translation>
    </message>
    <message>
        <source>&amp;Needs attention</source>
        <translation>&amp;Handlungsbedarf</translation>
    </message>
    <message>
        <source>&amp;Downloads</source>
        <translation>&amp;Downloads</translation>
    </message>
    <message>
        <source>&amp;Alarms of the Detector</source>
        <translation>&amp;Alarme des Gaswarngeräts</translation>
    </message>
    <message>
        <source>De&amp;tectors</source>
        <translation>&amp;Gaswarngeräte</translation>
    </message>
    <message>
        <source>&amp;Put on Display</source>
        <translation>In die A&amp;nzeige</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Speichern...</translation>
    </message>
    <message>
        <source>Export &amp;CSV...</source>
        <translation>&amp;CSV exportieren...</translation>
    </message>
    <message>
        <source>D&amp;elete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Import text reports...</source>
        <translation>Textberichte &amp;importieren...</translation>
    </message>
    <message>
        <source>Archive &amp;location...</source>
        <translation>&amp;Ort des Archivs...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Select a download to see its detector&apos;s alarms.</source>
        <translation>Wählen Sie einen Download, um die Alarme seines Gaswarngeräts zu sehen.</translation>
    </message>
    <message>
        <source>Alarms of detector %1, in the order they began:</source>
        <translation>Alarme des Gaswarngeräts %1 in der Reihenfolge ihres Beginns:</translation>
    </message>
    <message>
        <source>Select one or more downloads first.</source>
        <translation>Wählen Sie zuerst einen oder mehrere Downloads.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n alarm events written to %1.</source>
        <translation>
            <numerusform>%n Alarmereignis in %1 geschrieben.</numerusform>
            <numerusform>%n Alarmereignisse in %1 geschrieben.</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete the selected download from the archive?</source>
        <translation>Den ausgewählten Download aus dem Archiv löschen?</translation>
    </message>
    <message numerus="yes">
        <source>Delete the %n selected downloads from the archive?</source>
        <translation>
            <numerusform>Den %n ausgewählten Download aus dem Archiv löschen?</numerusform>
            <numerusform>Die %n ausgewählten Downloads aus dem Archiv löschen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation>Importieren...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Importing %1...</source>
        <translation>%1 wird importiert...</translation>
    </message>
    <message>
        <source>
%1, line %2: %3</source>
        <translation>
%1, Zeile %2: %3</translation>
    </message>
    <message>
        <source>The import was cancelled.</source>
        <translation>Der Import wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>&amp;History</source>
        <translation>&amp;Verlauf</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Download from Adapter</source>
        <translation>&amp;Adapter auslesen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Clear Display</source>
        <translation>Anzeige &amp;leeren</translation>
    </message>
    <message>
        <source>&amp;Reset the Adapter</source>
        <translation>Adapter &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>B&amp;eenden</translation>
    </message>
    <message>
        <source>Export Status</source>
        <translation>Exportstatus</translation>
    </message>
    <message>
        <source>No current report exists to save.</source>
        <translation>Es gibt keinen aktuellen Bericht zum Speichern.</translation>
    </message>
    <message>
        <source>The display is full: 1 line of the report just downloaded was left out.</source>
        <translation>Die Anzeige ist voll: 1 Zeile des eben ausgelesenen Berichts wurde weggelassen.</translation>
    </message>
    <message numerus="yes">
        <source>The display is full: %n lines of the report just downloaded were left out.</source>
        <translation>
            <numerusform>Die Anzeige ist voll: %n Zeile des eben ausgelesenen Berichts wurde weggelassen.</numerusform>
            <numerusform>Die Anzeige ist voll: %n Zeilen des eben ausgelesenen Berichts wurden weggelassen.</numerusform>
        </translation>
    </message>
    <message>
        <source>

Please save the display and clear it before the next download.</source>
        <translation>

Bitte speichern Sie die Anzeige und leeren Sie sie vor dem nächsten Auslesen.</translation>
    </message>
    <message>
        <source>The display contains missing and/or error characters that may disrupt formatting when saving
to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to the
Lorimet Adapter.

Would you like to keep the report just downloaded?</source>
        <translation>Die Anzeige enthält fehlende und/oder fehlerhafte Zeichen, die beim Speichern nach Microsoft Excel oder Microsoft Word die Formatierung stören können.  Es wird empfohlen, die Daten erneut an den Lorimet Adapter zu senden.

Möchten Sie den eben ausgelesenen Bericht behalten?</translation>
    </message>
    <message>
        <source>Lorimet Adapter Confirmation</source>
        <translation>Lorimet Adapter – Bestätigung</translation>
    </message>
</context>
<context>
    <name>frmProgress</name>
    <message>
        <source>Data Transfer Status</source>
        <translation>Status der Datenübertragung</translation>
    </message>
    <message>
        <source>Connecting To Lorimet Adapter ...</source>
        <translation>Verbindung zum Lorimet Adapter ...</translation>
    </message>
    <message>
        <source>Initiating Data Transfer ...</source>
        <translation>Datenübertragung wird gestartet ...</translation>
    </message>
    <message>
        <source>Receiving Lorimet Adapter Data ...</source>
        <translation>Daten vom Adapter empfangen ...</translation>
    </message>
    <message>
        <source>Data Transfer Complete</source>
        <translation>Datenübertragung abgeschlossen</translation>
    </message>
    <message>
        <source>Connected To Lorimet Adapter</source>
        <translation>Mit dem Lorimet Adapter verbunden</translation>
    </message>
    <message>
        <source>Data Transfer Initiated</source>
        <translation>Datenübertragung gestartet</translation>
    </message>
    <message>
        <source>Lorimet Adapter Data Received</source>
        <translation>Daten vom Lorimet Adapter empfangen</translation>
    </message>
</context>
<context>
    <name>frmReportTagging</name>
    <message>
        <source>Report Tagging</source>
        <translation>Bericht kennzeichnen</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Serial #:</source>
        <translation>Serien-Nr.:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
</context>
<context>
    <name>frmReset</name>
    <message>
        <source>Device Status</source>
        <translation>Gerätestatus</translation>
    </message>
    <message>
        <source>Resetting Lorimet Data Adapter...</source>
        <translation>Lorimet Adapter wird zurückgesetzt...</translation>
    </message>
    <message>
        <source>Lorimet Adapter reset complete</source>
        <translation>Lorimet Adapter zurückgesetzt</translation>
    </message>
</context>
<context>
    <name>frmSave</name>
    <message>
        <source>Save As</source>
        <translation>Speichern als</translation>
    </message>
    <message>
        <source>Microsoft Windows Text File</source>
        <translation>Microsoft Windows-Textdatei</translation>
    </message>
    <message>
        <source>Microsoft Word Document</source>
        <translation>Microsoft Word-Dokument</translation>
    </message>
    <message>
        <source>Microsoft Excel Document</source>
        <translation>Microsoft Excel-Dokument</translation>
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
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>Save Options</source>
        <translation>Speicheroptionen</translation>
    </message>
    <message>
        <source>Save the Report as PDF</source>
        <translation>Bericht als PDF speichern</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF-Dateien</translation>
    </message>
    <message>
        <source>%1 already exists.<byte value="xd"/>
Do you want to replace it?</source>
        <translation>%1 existiert bereits.<byte value="xd"/>
Möchten Sie die Datei ersetzen?</translation>
    </message>
    <message>
        <source>Save the Data File as MS Word</source>
        <translation>Datendatei als MS Word speichern</translation>
    </message>
    <message>
        <source>MsWord Files</source>
        <translation>MS Word-Dateien</translation>
    </message>
    <message>
        <source>Save the Data File as Excel Sheet</source>
        <translation>Datendatei als Excel-Tabelle speichern</translation>
    </message>
    <message>
        <source>Excel Files</source>
        <translation>Excel-Dateien</translation>
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
        <translation>Aufruf: %1 [-h | --help | --version]
Liest das Ereignisprotokoll eines H2S-Gaswarngeräts über den Lorimet Adapter aus, zeigt es
in einem Fenster und speichert es als Text, Word-Dokument oder Excel-Arbeitsmappe.

  -h, --help  Diese Hilfe zeigen und beenden.
  --version   Die Version zeigen und beenden.
</translation>
    </message>
</context>
</TS>
