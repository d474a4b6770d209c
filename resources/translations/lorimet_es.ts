<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>APICommonDialog</name>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Todos los ficheros</translation>
    </message>
</context>
<context>
    <name>AlarmChartView</name>
    <message>
        <source>Began %1
Peak %2
Duration %3</source>
        <translation>Inicio %1
Pico %2
Duración %3</translation>
    </message>
</context>
<context>
    <name>CaptureFile</name>
    <message>
        <source>the delay must be &quot;+&quot; followed by milliseconds</source>
        <translation>el retardo debe ser "+" seguido de milisegundos</translation>
    </message>
    <message>
        <source>expected %1 hex bytes, found %2</source>
        <translation>se esperaban %1 bytes hexadecimales, hay %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a two-digit hex byte</source>
        <translation>"%1" no es un byte hexadecimal de dos cifras</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB, too large for a capture</source>
        <translation>ocupa más de %1 MiB, demasiado para una captura</translation>
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
        <translation>Uso: lorimet-report archive [--archive FICHERO] [--timeout SEGUNDOS] ORDEN
  list [FILTROS] [--format table|csv|json]   las descargas archivadas, la más reciente primero
  show ID                                     las líneas de una descarga
  alarms --serial S                           las alarmas de un detector en el orden en que empezaron
  detectors [--as-of AAAA-MM-DD] [--ends-within DÍAS] [--not-downloaded-for DÍAS] [--attention]
            [--format table|csv|json]         vida, última descarga y alarmas de cada detector
  export --format txt|csv|xlsx|docx|pdf [FILTROS] [--append] SALIDA
                                              las líneas de las descargas, la más antigua primero, como las escribe export
  import FICHERO...                           los informes de exportaciones de texto aún no archivados
  check                                       buscar daños
FILTROS: --serial S, --user U, --since AAAA-MM-DD, --until AAAA-MM-DD
El archivo es LORIMET_ARCHIVE si está definido; si no, el del programa. Se abandona el servidor de un
archivo del centro que no responde a una llamada en SEGUNDOS (30).
</translation>
    </message>
    <message>
        <source>%1 is not a date; DATE is YYYY-MM-DD</source>
        <translation>%1 no es una fecha; FECHA es AAAA-MM-DD</translation>
    </message>
    <message>
        <source>%1 is not a number of days from 0 to 36500</source>
        <translation>%1 no es un número de días de 0 a 36500</translation>
    </message>
    <message>
        <source>%1 is not a number of seconds from 1 to 86400</source>
        <translation>%1 no es un número de segundos de 1 a 86400</translation>
    </message>
    <message>
        <source>%1 is not a download&apos;s ID</source>
        <translation>%1 no es el ID de una descarga</translation>
    </message>
    <message>
        <source>no archived download matches</source>
        <translation>ninguna descarga archivada coincide</translation>
    </message>
    <message>
        <source>the selected downloads</source>
        <translation>las descargas seleccionadas</translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n reports</source>
        <translation>
            <numerusform>%1: %2 de %n informe</numerusform>
            <numerusform>%1: %2 de %n informes</numerusform>
        </translation>
    </message>
    <message>
        <source>some reports could not be read</source>
        <translation>algunos informes no se pudieron leer</translation>
    </message>
    <message numerus="yes">
        <source>%n downloads</source>
        <translation>
            <numerusform>%n descarga</numerusform>
            <numerusform>%n descargas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarms</source>
        <translation>
            <numerusform>%n alarma</numerusform>
            <numerusform>%n alarmas</numerusform>
        </translation>
    </message>
    <message>
        <source>the archive is damaged</source>
        <translation>el archivo está dañado</translation>
    </message>
    <message>
        <source>Usage: %1 COMMAND [ARGUMENTS]</source>
        <translation>Uso: %1 ORDEN [ARGUMENTOS]</translation>
    </message>
    <message>
        <source>Works with the reports of the Lorimet Adapter without opening a window.</source>
        <translation>Trabaja con los informes del Lorimet Adapter sin abrir ninguna ventana.</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Órdenes:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Opciones:</translation>
    </message>
    <message>
        <source>Show this help; after a command, that command&apos;s usage.</source>
        <translation>Mostrar esta ayuda; tras una orden, el uso de esa orden.</translation>
    </message>
    <message>
        <source>Show the version of %1.</source>
        <translation>Mostrar la versión de %1.</translation>
    </message>
    <message>
        <source>Print the report lines a download of the captured input reports adds.</source>
        <translation>Imprimir las líneas de informe que añade una descarga de los informes de entrada capturados.</translation>
    </message>
    <message>
        <source>Run one transfer on the attached adapter and save its input reports.</source>
        <translation>Hacer una transferencia con el adaptador conectado y guardar sus informes de entrada.</translation>
    </message>
    <message>
        <source>Append a saved text report to OUTPUT (txt) or write its event table (csv, xlsx, docx).</source>
        <translation>Añadir un informe de texto guardado a OUTPUT (txt) o escribir su tabla de eventos (csv, xlsx, docx).</translation>
    </message>
    <message>
        <source>List, show, export and import the archived downloads, and check the archive.</source>
        <translation>Listar, mostrar, exportar e importar las descargas archivadas, y comprobar el archivo.</translation>
    </message>
    <message>
        <source>a command is missing.</source>
        <translation>falta una orden.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>Pruebe '%1 --help'.</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>Uso: %1</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;.</source>
        <translation>orden desconocida "%1".</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>no se puede leer %1: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>no se puede escribir %1: %2</translation>
    </message>
    <message>
        <source>it is larger than 256 MiB, too large for a report</source>
        <translation>ocupa más de 256 MiB, demasiado para un informe</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>la salida estándar</translation>
    </message>
    <message>
        <source>it takes text only</source>
        <translation>solo admite texto</translation>
    </message>
    <message>
        <source>it is the report being exported, %1</source>
        <translation>es el informe que se exporta, %1</translation>
    </message>
    <message numerus="yes">
        <source>%n lines appended to %1</source>
        <translation>
            <numerusform>%n línea añadida a %1</numerusform>
            <numerusform>%n líneas añadidas a %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n events written to %1</source>
        <translation>
            <numerusform>%n evento escrito en %1</numerusform>
            <numerusform>%n eventos escritos en %1</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>no se puede escribir en la salida estándar: %1</translation>
    </message>
    <message>
        <source>the Lorimet Adapter is attached, but you may not open it.
Install the udev rule that grants access to it, then plug the adapter in again.</source>
        <translation>el Lorimet Adapter está conectado, pero usted no puede abrirlo.
Instale la regla de udev que da acceso a él y vuelva a conectar el adaptador.</translation>
    </message>
    <message>
        <source>no Lorimet Adapter is attached. Please re-check the USB connection.</source>
        <translation>no hay ningún Lorimet Adapter conectado. Compruebe la conexión USB.</translation>
    </message>
    <message numerus="yes">
        <source>Recorded %n input reports to %1.</source>
        <translation>
            <numerusform>%n informe de entrada grabado en %1.</numerusform>
            <numerusform>%n informes de entrada grabados en %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DocumentViewer</name>
    <message>
        <source>The report was saved to %1, but no program could be started to show it.</source>
        <translation>El informe se guardó en %1, pero no se pudo abrir ningún programa para mostrarlo.</translation>
    </message>
</context>
<context>
    <name>DocxDocument</name>
    <message>
        <source>The file is not a Word document.</source>
        <translation>El fichero no es un documento de Word.</translation>
    </message>
    <message>
        <source>The main part of the document is not a WordprocessingML document.</source>
        <translation>La parte principal del documento no es un documento WordprocessingML.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has no column grid (w:tblGrid), which says how wide its columns are; open the document in Word or LibreOffice, save it again and try once more.</source>
        <translation>La primera tabla del documento no tiene cuadrícula de columnas (w:tblGrid), que indica su anchura; abra el documento en Word o LibreOffice, guárdelo de nuevo e inténtelo otra vez.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has more columns than Word allows.</source>
        <translation>La primera tabla del documento tiene más columnas de las que Word permite.</translation>
    </message>
    <message>
        <source>The document&apos;s first table has no rows.</source>
        <translation>La primera tabla del documento no tiene filas.</translation>
    </message>
    <message>
        <source>The header row of the document&apos;s first table does not span all its columns.</source>
        <translation>La fila de encabezado de la primera tabla del documento no abarca todas sus columnas.</translation>
    </message>
    <message>
        <source>The document holds no report table: no table&apos;s first row names a column of the report (such as &quot;Download On&quot;). Nothing was appended, so that no value goes to a column without its header.</source>
        <translation>El documento no contiene ninguna tabla de informe: la primera fila de ninguna tabla nombra una columna del informe (como "Download On"). No se ha añadido nada, para que ningún valor acabe en una columna sin encabezado.</translation>
    </message>
    <message>
        <source>The document holds no table to append the report to.</source>
        <translation>El documento no contiene ninguna tabla a la que añadir el informe.</translation>
    </message>
    <message>
        <source>The table&apos;s rows could not be placed.</source>
        <translation>No se pudieron colocar las filas de la tabla.</translation>
    </message>
</context>
<context>
    <name>DownloadArchive</name>
    <message>
        <source>A site archive is a PostgreSQL server: postgresql://user@host:port/database</source>
        <translation>Un archivo del centro es un servidor PostgreSQL: postgresql://user@host:port/database</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be written.</source>
        <translation>No se puede escribir el fichero de configuración %1.</translation>
    </message>
    <message>
        <source>The download could not be kept in the report archive:
%1

It stays on the display and can be saved as usual.</source>
        <translation>No se pudo guardar la descarga en el archivo de informes:
%1

Sigue en pantalla y se puede guardar como siempre.</translation>
    </message>
    <message>
        <source>The site archive cannot be reached: downloads are kept on this PC; will be sent to the site archive when it can be reached again.

%1</source>
        <translation>No se puede acceder al archivo del centro: las descargas se guardan en este PC y se enviarán al archivo del centro cuando vuelva a estar accesible.

%1</translation>
    </message>
    <message>
        <source>Archive Location</source>
        <translation>Ubicación del archivo</translation>
    </message>
    <message>
        <source>A site archive on a PostgreSQL server that the PCs of the site share,
as postgresql://user@host:port/database (the password comes from
~/.pgpass or PGPASSWORD). Empty: this PC&apos;s archive only.</source>
        <translation>Un archivo del centro en un servidor PostgreSQL que comparten los PC del centro,
como postgresql://user@host:port/database (la contraseña viene de
~/.pgpass o PGPASSWORD). Vacío: solo el archivo de este PC.</translation>
    </message>
</context>
<context>
    <name>OoxmlPackage</name>
    <message>
        <source>an entry without a name</source>
        <translation>una entrada sin nombre</translation>
    </message>
    <message>
        <source>an entry with an absolute path (%1)</source>
        <translation>una entrada con ruta absoluta (%1)</translation>
    </message>
    <message>
        <source>an entry with a relative path (%1)</source>
        <translation>una entrada con ruta relativa (%1)</translation>
    </message>
    <message>
        <source>The file is password-protected (encrypted). Remove the password in the program that made it and try again.</source>
        <translation>El fichero está protegido con contraseña (cifrado). Quite la contraseña en el programa que lo creó e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The file is in an older binary Office format, which is not supported. Save it as a .docx or .xlsx file first.</source>
        <translation>El fichero está en un formato binario antiguo de Office, que no se admite. Guárdelo antes como fichero .docx o .xlsx.</translation>
    </message>
    <message>
        <source>The part %1 holds a document type declaration (DOCTYPE); DOCTYPEs are refused, as Office documents never contain one.</source>
        <translation>La parte %1 contiene una declaración de tipo de documento (DOCTYPE); se rechazan, pues los documentos de Office nunca la contienen.</translation>
    </message>
    <message>
        <source>The part %1 is damaged: %2 at byte %3.</source>
        <translation>La parte %1 está dañada: %2 en el byte %3.</translation>
    </message>
    <message>
        <source>The file is open in another program: %1. Close it and save again.</source>
        <translation>El fichero está abierto en otro programa: %1. Ciérrelo y vuelva a guardar.</translation>
    </message>
    <message>
        <source>The file is empty, not a Word or Excel document.</source>
        <translation>El fichero está vacío; no es un documento de Word ni de Excel.</translation>
    </message>
    <message>
        <source>The file is not a Word or Excel document: it is not a zip archive, or a damaged one.</source>
        <translation>El fichero no es un documento de Word ni de Excel: no es un archivo zip, o está dañado.</translation>
    </message>
    <message>
        <source>The file cannot be read as a zip archive: %1.</source>
        <translation>El fichero no se puede leer como archivo zip: %1.</translation>
    </message>
    <message>
        <source>The archive is damaged: %1.</source>
        <translation>El archivo zip está dañado: %1.</translation>
    </message>
    <message>
        <source>The archive holds %1; it is not read.</source>
        <translation>El archivo zip contiene %1; no se lee.</translation>
    </message>
    <message>
        <source>The file is damaged: two parts named %1.</source>
        <translation>El fichero está dañado: dos partes llamadas %1.</translation>
    </message>
    <message>
        <source>The part %1 would inflate to more than %2 MiB; it is not read.</source>
        <translation>La parte %1 ocuparía más de %2 MiB al descomprimirse; no se lee.</translation>
    </message>
    <message>
        <source>The part %1 is compressed more than %2 to 1, as a zip bomb is; it is not read.</source>
        <translation>La parte %1 está comprimida más de %2 a 1, como una bomba zip; no se lee.</translation>
    </message>
    <message>
        <source>The file is a zip archive but not a Word or Excel document.</source>
        <translation>El fichero es un archivo zip, pero no un documento de Word ni de Excel.</translation>
    </message>
    <message>
        <source>The file is saved as Strict Open XML, which is not supported. Save it in the usual Office Open XML format and try again.</source>
        <translation>El fichero está guardado como Strict Open XML, que no se admite. Guárdelo en el formato Office Open XML habitual e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The file has no main document part.</source>
        <translation>El fichero no tiene parte principal de documento.</translation>
    </message>
    <message>
        <source>The file&apos;s main document part %1 is missing.</source>
        <translation>Falta la parte principal de documento %1 del fichero.</translation>
    </message>
    <message>
        <source>The part %1 is missing.</source>
        <translation>Falta la parte %1.</translation>
    </message>
    <message>
        <source>The part %1 cannot be read: %2</source>
        <translation>No se puede leer la parte %1: %2</translation>
    </message>
    <message>
        <source>its size does not match the archive&apos;s directory.</source>
        <translation>su tamaño no coincide con el directorio del archivo zip.</translation>
    </message>
</context>
<context>
    <name>PrintedDocument</name>
    <message>
        <source>Printed Report</source>
        <translation>Informe impreso</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>No se pudo guardar el informe en %1.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>The report could not be printed.<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>No se pudo imprimir el informe.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>ReportArchive</name>
    <message>
        <source>cannot be checked</source>
        <translation>no se puede comprobar</translation>
    </message>
    <message>
        <source>download %1: its lines are not those it was stored with</source>
        <translation>descarga %1: sus líneas no son las que se guardaron</translation>
    </message>
    <message>
        <source>download %1: %2 alarm events, but %3 rows in its event table and %4 alarms</source>
        <translation>descarga %1: %2 eventos de alarma, pero %3 filas en su tabla de eventos y %4 alarmas</translation>
    </message>
    <message>
        <source>%1 alarms that no download recorded</source>
        <translation>%1 alarmas que ninguna descarga registró</translation>
    </message>
    <message>
        <source>%1 is not a file; the archive must be one</source>
        <translation>%1 no es un fichero; el archivo debe serlo</translation>
    </message>
    <message>
        <source>there is no archive at %1</source>
        <translation>no hay ningún archivo en %1</translation>
    </message>
    <message>
        <source>cannot create the folder of the archive %1</source>
        <translation>no se puede crear la carpeta del archivo %1</translation>
    </message>
    <message>
        <source>cannot open the archive %1: %2</source>
        <translation>no se puede abrir el archivo %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a report archive or is damaged (%2); it is left as it is</source>
        <translation>%1 no es un archivo de informes o está dañado (%2); se deja como está</translation>
    </message>
    <message>
        <source>cannot connect to the archive %1: %2</source>
        <translation>no se puede conectar con el archivo %1: %2</translation>
    </message>
    <message>
        <source>the archive %1 cannot be read: %2</source>
        <translation>no se puede leer el archivo %1: %2</translation>
    </message>
    <message>
        <source>the archive URL must not hold a password; put it into the password file (~/.pgpass) or PGPASSWORD</source>
        <translation>la URL del archivo no debe contener la contraseña; póngala en el fichero de contraseñas (~/.pgpass) o en PGPASSWORD</translation>
    </message>
    <message>
        <source>%1 is not an archive URL; it takes the form postgresql://user@host:port/database, with settings of libpq after a &apos;?&apos; (such as ?sslmode=require)</source>
        <translation>%1 no es una URL de archivo; tiene la forma postgresql://user@host:port/database, con ajustes de libpq tras un '?' (como ?sslmode=require)</translation>
    </message>
    <message>
        <source>the location</source>
        <translation>la ubicación</translation>
    </message>
    <message>
        <source>Qt&apos;s PostgreSQL driver is not installed (Debian: libqt6sql6-psql)</source>
        <translation>El controlador PostgreSQL de Qt no está instalado (Debian: libqt6sql6-psql)</translation>
    </message>
    <message numerus="yes">
        <source>%n reports added</source>
        <translation>
            <numerusform>%n informe añadido</numerusform>
            <numerusform>%n informes añadidos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already in the archive</source>
        <translation>
            <numerusform>%n ya en el archivo</numerusform>
            <numerusform>%n ya en el archivo</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unreadable</source>
        <translation>
            <numerusform>%n ilegible</numerusform>
            <numerusform>%n ilegibles</numerusform>
        </translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>no se puede leer</translation>
    </message>
    <message>
        <source>the archive %1 holds no download %2</source>
        <translation>el archivo %1 no contiene ninguna descarga %2</translation>
    </message>
    <message>
        <source>cannot be searched</source>
        <translation>no se puede consultar</translation>
    </message>
    <message>
        <source>cannot store a download</source>
        <translation>no puede guardar una descarga</translation>
    </message>
    <message>
        <source>the archive %1 did not answer within %2 s; the connection was closed and nothing was changed</source>
        <translation>el archivo %1 no respondió en %2 s; se cerró la conexión y no se cambió nada</translation>
    </message>
    <message>
        <source>the archive %1 %2: %3</source>
        <translation>el archivo %1 %2: %3</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>no se puede escribir</translation>
    </message>
    <message>
        <source>%1 is a database of another program, not a report archive; it is left as it is</source>
        <translation>%1 es una base de datos de otro programa, no un archivo de informes; se deja como está</translation>
    </message>
    <message>
        <source>the archive %1 was made by a newer version of this program; it is left as it is</source>
        <translation>el archivo %1 lo creó una versión más reciente de este programa; se deja como está</translation>
    </message>
    <message>
        <source>the archive %1 must be brought up to date by storing in it once</source>
        <translation>el archivo %1 debe actualizarse guardando algo en él una vez</translation>
    </message>
    <message>
        <source>cannot be created</source>
        <translation>no se puede crear</translation>
    </message>
    <message>
        <source>cannot be brought up to date</source>
        <translation>no se puede actualizar</translation>
    </message>
    <message>
        <source>the archive %1 was made by a newer version of this program</source>
        <translation>el archivo %1 lo creó una versión más reciente de este programa</translation>
    </message>
</context>
<context>
    <name>ReportExport</name>
    <message>
        <source>the report</source>
        <translation>el informe</translation>
    </message>
    <message>
        <source>%1 holds more alarm events than the %2 rows of a worksheet can take</source>
        <translation>%1 contiene más eventos de alarma de los que caben en las %2 filas de una hoja</translation>
    </message>
    <message>
        <source>%1 holds more than the %2 alarm events a printed report takes</source>
        <translation>%1 contiene más de los %2 eventos de alarma que admite un informe impreso</translation>
    </message>
    <message>
        <source>this document is written to a file only</source>
        <translation>este documento solo se escribe en un fichero</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>%1 is a symbolic link that another user put in a folder everyone may write to; it is not followed.</source>
        <translation>%1 es un enlace simbólico que otro usuario puso en una carpeta en la que todos pueden escribir; no se sigue.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a file.</source>
        <translation>%1 es una carpeta, no un fichero.</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 no es un fichero normal.</translation>
    </message>
    <message>
        <source>%1 is being written by another export of this program.</source>
        <translation>Otra exportación de este programa está escribiendo %1.</translation>
    </message>
    <message>
        <source>%1 keeps being replaced by another program.</source>
        <translation>Otro programa reemplaza %1 una y otra vez.</translation>
    </message>
    <message>
        <source>The file is larger than %1 MiB.</source>
        <translation>El fichero ocupa más de %1 MiB.</translation>
    </message>
    <message>
        <source>%1 is not the file that was read.</source>
        <translation>%1 no es el fichero que se leyó.</translation>
    </message>
    <message>
        <source>%1 has other hard links, which replacing it would separate from it; save to another file.</source>
        <translation>%1 tiene otros enlaces duros, que reemplazarlo separaría de él; guarde en otro fichero.</translation>
    </message>
    <message>
        <source>The name %1 is too long for the temporary file that is written beside it; choose a shorter name.</source>
        <translation>El nombre %1 es demasiado largo para el fichero temporal que se escribe a su lado; elija un nombre más corto.</translation>
    </message>
    <message>
        <source>%1 now belongs to you; its owner could not be kept.</source>
        <translation>%1 ahora le pertenece a usted; no se pudo conservar su propietario.</translation>
    </message>
    <message>
        <source>%1 now belongs to you and your group; its owner and group could not be kept.</source>
        <translation>%1 ahora les pertenece a usted y a su grupo; no se pudieron conservar su propietario ni su grupo.</translation>
    </message>
    <message>
        <source>%1 was changed by another program while the report was being written.</source>
        <translation>Otro programa cambió %1 mientras se escribía el informe.</translation>
    </message>
    <message>
        <source>%1 was cut back to %2 bytes, its length before an export to it that did not finish.</source>
        <translation>%1 se recortó a %2 bytes, su longitud antes de una exportación a él que no terminó.</translation>
    </message>
    <message>
        <source>The journal&apos;s folder %1 cannot be made</source>
        <translation>No se puede crear la carpeta %1 del diario</translation>
    </message>
    <message>
        <source>The journal %1 cannot be written: %2</source>
        <translation>No se puede escribir el diario %1: %2</translation>
    </message>
</context>
<context>
    <name>TableDocument</name>
    <message>
        <source>Export Status</source>
        <translation>Estado de la exportación</translation>
    </message>
    <message>
        <source>The report could not be saved to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>No se pudo guardar el informe en %1.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>An error has occured while attempting an export of the report.<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Se ha producido un error al exportar el informe.<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>TableFile</name>
    <message>
        <source>Columns added to the table: %1.</source>
        <translation>Columnas añadidas a la tabla: %1.</translation>
    </message>
</context>
<context>
    <name>TagField</name>
    <message>
        <source>&quot;%1&quot; cannot be kept: a text report holds only the letters, digits and signs of Western European languages.</source>
        <translation>"%1" no se puede conservar: un informe de texto solo admite las letras, cifras y signos de las lenguas de Europa occidental.</translation>
    </message>
</context>
<context>
    <name>TextDocument</name>
    <message>
        <source>Report File Location</source>
        <translation>Ubicación del fichero de informe</translation>
    </message>
    <message>
        <source>Text Files</source>
        <translation>Ficheros de texto</translation>
    </message>
    <message>
        <source>Export Status</source>
        <translation>Estado de la exportación</translation>
    </message>
    <message>
        <source>The report could not be written to %1.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>No se pudo escribir el informe en %1.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
</context>
<context>
    <name>TextReportFile</name>
    <message>
        <source>1 character that a text report cannot hold was written as &quot;?&quot;.</source>
        <translation>1 carácter que un informe de texto no admite se escribió como "?".</translation>
    </message>
    <message numerus="yes">
        <source>%n characters that a text report cannot hold were written as &quot;?&quot;.</source>
        <translation>
            <numerusform>%n carácter que un informe de texto no admite se escribió como "?".</numerusform>
            <numerusform>%n caracteres que un informe de texto no admite se escribieron como "?".</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TextReports</name>
    <message>
        <source>the line is longer than the %1 characters of a report line</source>
        <translation>la línea es más larga que los %1 caracteres de una línea de informe</translation>
    </message>
    <message>
        <source>the line holds control characters; this is not a text export</source>
        <translation>la línea contiene caracteres de control; no es una exportación de texto</translation>
    </message>
    <message>
        <source>no detector report in it (no &quot;S/N:&quot; line)</source>
        <translation>no contiene ningún informe de detector (ninguna línea "S/N:")</translation>
    </message>
    <message>
        <source>text before the first detector report</source>
        <translation>texto antes del primer informe de detector</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>no se puede leer %1: %2</translation>
    </message>
    <message>
        <source>cannot read %1: it is larger than 256 MiB, too large for a text export</source>
        <translation>no se puede leer %1: ocupa más de 256 MiB, demasiado para una exportación de texto</translation>
    </message>
</context>
<context>
    <name>TransferWidgets</name>
    <message>
        <source>The device is not attached to the system.  Please re-check the USB connection.</source>
        <translation>El dispositivo no está conectado al sistema.  Compruebe la conexión USB.</translation>
    </message>
    <message>
        <source>

The adapter was found, but this user is not allowed to open it. Install the udev rule 70-lorimet-adapter.rules that comes with this program (cmake --install puts it into udev&apos;s rules directory), then unplug the adapter and plug it in again.</source>
        <translation>

Se encontró el adaptador, pero este usuario no puede abrirlo. Instale la regla de udev 70-lorimet-adapter.rules que acompaña a este programa (cmake --install la pone en el directorio de reglas de udev) y desconecte y vuelva a conectar el adaptador.</translation>
    </message>
    <message>
        <source>Initialization Error</source>
        <translation>Error de inicialización</translation>
    </message>
</context>
<context>
    <name>XlsxWorkbook</name>
    <message>
        <source>The file is not an Excel workbook.</source>
        <translation>El fichero no es un libro de Excel.</translation>
    </message>
    <message>
        <source>The workbook has no worksheet.</source>
        <translation>El libro no tiene ninguna hoja de cálculo.</translation>
    </message>
    <message>
        <source>The workbook&apos;s first sheet is not a worksheet (it may be a chart).</source>
        <translation>La primera hoja del libro no es una hoja de cálculo (puede ser un gráfico).</translation>
    </message>
    <message>
        <source>The workbook&apos;s first worksheet is too large to append to: it would take about %1 MiB of memory, more than %2 MiB.</source>
        <translation>La primera hoja del libro es demasiado grande para añadirle datos: necesitaría unos %1 MiB de memoria, más de %2 MiB.</translation>
    </message>
    <message>
        <source>The workbook&apos;s first worksheet is damaged.</source>
        <translation>La primera hoja del libro está dañada.</translation>
    </message>
    <message>
        <source>The first worksheet, &quot;%1&quot;, holds no report table: its row 1 names none of the report&apos;s columns. Nothing was appended, so that no value goes to a column without its header.</source>
        <translation>La primera hoja, "%1", no contiene ninguna tabla de informe: su fila 1 no nombra ninguna columna del informe. No se ha añadido nada, para que ningún valor acabe en una columna sin encabezado.</translation>
    </message>
    <message>
        <source>The worksheet has no column left for &quot;%1&quot;: its last column is used.</source>
        <translation>La hoja no tiene columnas libres para "%1": su última columna está ocupada.</translation>
    </message>
    <message>
        <source>The worksheet &quot;%1&quot; that holds the table is hidden.</source>
        <translation>La hoja "%1" que contiene la tabla está oculta.</translation>
    </message>
    <message>
        <source>The worksheet would need %1 rows, more than the %2 a worksheet can hold.</source>
        <translation>La hoja necesitaría %1 filas, más de las %2 que admite una hoja.</translation>
    </message>
    <message>
        <source>The worksheet is too large to format: it would take about %1 MiB of memory, more than %2 MiB.</source>
        <translation>La hoja es demasiado grande para darle formato: necesitaría unos %1 MiB de memoria, más de %2 MiB.</translation>
    </message>
    <message>
        <source>The worksheet&apos;s new rows could not be placed.</source>
        <translation>No se pudieron colocar las filas nuevas de la hoja.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Versión %1.%2.%3</translation>
    </message>
</context>
<context>
    <name>frmAppend</name>
    <message>
        <source>This file already exists.  Please choose one of the options below:</source>
        <translation>Este fichero ya existe.  Elija una de las opciones siguientes:</translation>
    </message>
    <message>
        <source>&amp;Append</source>
        <translation>&amp;Añadir</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>&amp;Sobrescribir</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source> Append Options</source>
        <translation> Opciones para añadir</translation>
    </message>
</context>
<context>
    <name>frmHistory</name>
    <message>
        <source>Report History</source>
        <translation>Historial de informes</translation>
    </message>
    <message>
        <source>expired</source>
        <translation>caducado</translation>
    </message>
    <message>
        <source>ends-soon</source>
        <translation>caduca pronto</translation>
    </message>
    <message>
        <source>not-downloaded</source>
        <translation>sin descargar</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Número de serie</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Descargas</translation>
    </message>
    <message>
        <source>Last Download</source>
        <translation>Última descarga</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Usuario</translation>
    </message>
    <message>
        <source>Life (Months)</source>
        <translation>Vida (meses)</translation>
    </message>
    <message>
        <source>Ends</source>
        <translation>Termina</translation>
    </message>
    <message>
        <source>Self Tests</source>
        <translation>Autopruebas</translation>
    </message>
    <message>
        <source>Alarm Events</source>
        <translation>Eventos de alarma</translation>
    </message>
    <message>
        <source>Highest Peak</source>
        <translation>Pico máximo</translation>
    </message>
    <message>
        <source>Last Alarm Began</source>
        <translation>Inicio de la última alarma</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Import Text Reports</source>
        <translation>Importar informes de texto</translation>
    </message>
    <message>
        <source>Text reports (*.txt)</source>
        <translation>Informes de texto (*.txt)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exportar CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Ficheros CSV (*.csv)</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Descargado</translation>
    </message>
    <message>
        <source>Began</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Peak</source>
        <translation>Pico</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>The archive has not answered yet; waiting for it up to %1 s.</source>
        <translation>El archivo aún no ha respondido; se espera hasta %1 s.</translation>
    </message>
    <message>
        <source>The report archive cannot be opened:
%1</source>
        <translation>No se puede abrir el archivo de informes:
%1</translation>
    </message>
    <message>
        <source>The site archive cannot be reached:
%1

The History shows this PC&apos;s archive.</source>
        <translation>No se puede acceder al archivo del centro:
%1

El historial muestra el archivo de este PC.</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Número de serie</translation>
    </message>
    <message>
        <source>&amp;From</source>
        <translation>&amp;Desde</translation>
    </message>
    <message>
        <source>&amp;To</source>
        <translation>&amp;Hasta</translation>
    </message>
    <message>
        <source>&amp;Needs attention</source>
        <translation>&amp;Requiere atención</translation>
    </message>
    <message>
        <source>&amp;Downloads</source>
        <translation>D&amp;escargas</translation>
    </message>
    <message>
        <source>&amp;Alarms of the Detector</source>
        <translation>&amp;Alarmas del detector</translation>
    </message>
    <message>
        <source>De&amp;tectors</source>
        <translation>De&amp;tectores</translation>
    </message>
    <message>
        <source>&amp;Put on Display</source>
        <translation>&amp;Mostrar en pantalla</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Guardar...</translation>
    </message>
    <message>
        <source>Export &amp;CSV...</source>
        <translation>Exportar &amp;CSV...</translation>
    </message>
    <message>
        <source>D&amp;elete</source>
        <translation>&amp;Borrar</translation>
    </message>
    <message>
        <source>&amp;Import text reports...</source>
        <translation>&amp;Importar informes de texto...</translation>
    </message>
    <message>
        <source>Archive &amp;location...</source>
        <translation>&amp;Ubicación del archivo...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Select a download to see its detector&apos;s alarms.</source>
        <translation>Seleccione una descarga para ver las alarmas de su detector.</translation>
    </message>
    <message>
        <source>Alarms of detector %1, in the order they began:</source>
        <translation>Alarmas del detector %1, en el orden en que empezaron:</translation>
    </message>
    <message>
        <source>Select one or more downloads first.</source>
        <translation>Seleccione antes una o varias descargas.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>No se puede escribir %1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n alarm events written to %1.</source>
        <translation>
            <numerusform>%n evento de alarma escrito en %1.</numerusform>
            <numerusform>%n eventos de alarma escritos en %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete the selected download from the archive?</source>
        <translation>¿Borrar del archivo la descarga seleccionada?</translation>
    </message>
    <message numerus="yes">
        <source>Delete the %n selected downloads from the archive?</source>
        <translation>
            <numerusform>¿Borrar del archivo la %n descarga seleccionada?</numerusform>
            <numerusform>¿Borrar del archivo las %n descargas seleccionadas?</numerusform>
        </translation>
    </message>
    <message>
        <source>Importing...</source>
        <translation>Importando...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Importing %1...</source>
        <translation>Importando %1...</translation>
    </message>
    <message>
        <source>
%1, line %2: %3</source>
        <translation>
%1, línea %2: %3</translation>
    </message>
    <message>
        <source>The import was cancelled.</source>
        <translation>Se canceló la importación.</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>&amp;History</source>
        <translation>&amp;Historial</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>&amp;Download from Adapter</source>
        <translation>&amp;Leer el adaptador</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>&amp;Clear Display</source>
        <translation>&amp;Borrar pantalla</translation>
    </message>
    <message>
        <source>&amp;Reset the Adapter</source>
        <translation>&amp;Reiniciar adaptador</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Export Status</source>
        <translation>Estado de la exportación</translation>
    </message>
    <message>
        <source>No current report exists to save.</source>
        <translation>No hay ningún informe actual que guardar.</translation>
    </message>
    <message>
        <source>The display is full: 1 line of the report just downloaded was left out.</source>
        <translation>La pantalla está llena: se ha omitido 1 línea del informe recién descargado.</translation>
    </message>
    <message numerus="yes">
        <source>The display is full: %n lines of the report just downloaded were left out.</source>
        <translation>
            <numerusform>La pantalla está llena: se ha omitido %n línea del informe recién descargado.</numerusform>
            <numerusform>La pantalla está llena: se han omitido %n líneas del informe recién descargado.</numerusform>
        </translation>
    </message>
    <message>
        <source>

Please save the display and clear it before the next download.</source>
        <translation>

Guarde la pantalla y bórrela antes de la próxima descarga.</translation>
    </message>
    <message>
        <source>The display contains missing and/or error characters that may disrupt formatting when saving
to Microsoft Excel or Microsoft Word.  It is recommended that you resend the data to the
Lorimet Adapter.

Would you like to keep the report just downloaded?</source>
        <translation>La pantalla contiene caracteres que faltan o son erróneos y que pueden alterar el formato al guardar en Microsoft Excel o Microsoft Word.  Se recomienda volver a enviar los datos al Lorimet Adapter.

¿Desea conservar el informe recién descargado?</translation>
    </message>
    <message>
        <source>Lorimet Adapter Confirmation</source>
        <translation>Lorimet Adapter: confirmación</translation>
    </message>
</context>
<context>
    <name>frmProgress</name>
    <message>
        <source>Data Transfer Status</source>
        <translation>Estado de la transferencia</translation>
    </message>
    <message>
        <source>Connecting To Lorimet Adapter ...</source>
        <translation>Conectando con el Lorimet Adapter ...</translation>
    </message>
    <message>
        <source>Initiating Data Transfer ...</source>
        <translation>Iniciando la transferencia ...</translation>
    </message>
    <message>
        <source>Receiving Lorimet Adapter Data ...</source>
        <translation>Recibiendo datos del Lorimet Adapter ...</translation>
    </message>
    <message>
        <source>Data Transfer Complete</source>
        <translation>Transferencia terminada</translation>
    </message>
    <message>
        <source>Connected To Lorimet Adapter</source>
        <translation>Conectado con el Lorimet Adapter</translation>
    </message>
    <message>
        <source>Data Transfer Initiated</source>
        <translation>Transferencia iniciada</translation>
    </message>
    <message>
        <source>Lorimet Adapter Data Received</source>
        <translation>Datos del Lorimet Adapter recibidos</translation>
    </message>
</context>
<context>
    <name>frmReportTagging</name>
    <message>
        <source>Report Tagging</source>
        <translation>Etiquetado del informe</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Fecha:</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Hora:</translation>
    </message>
    <message>
        <source>Serial #:</source>
        <translation>N.º serie:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Usuario:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
</context>
<context>
    <name>frmReset</name>
    <message>
        <source>Device Status</source>
        <translation>Estado del dispositivo</translation>
    </message>
    <message>
        <source>Resetting Lorimet Data Adapter...</source>
        <translation>Reiniciando el Lorimet Adapter...</translation>
    </message>
    <message>
        <source>Lorimet Adapter reset complete</source>
        <translation>Lorimet Adapter reiniciado</translation>
    </message>
</context>
<context>
    <name>frmSave</name>
    <message>
        <source>Save As</source>
        <translation>Guardar como</translation>
    </message>
    <message>
        <source>Microsoft Windows Text File</source>
        <translation>Fichero de texto de Windows</translation>
    </message>
    <message>
        <source>Microsoft Word Document</source>
        <translation>Documento de Microsoft Word</translation>
    </message>
    <message>
        <source>Microsoft Excel Document</source>
        <translation>Documento de Microsoft Excel</translation>
    </message>
    <message>
        <source>&amp;PDF</source>
        <translation>&amp;PDF</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>P&amp;rint...</source>
        <translation>&amp;Imprimir...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>Save Options</source>
        <translation>Opciones de guardado</translation>
    </message>
    <message>
        <source>Save the Report as PDF</source>
        <translation>Guardar el informe como PDF</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>Ficheros PDF</translation>
    </message>
    <message>
        <source>%1 already exists.<byte value="xd"/>
Do you want to replace it?</source>
        <translation>%1 ya existe.<byte value="xd"/>
¿Desea reemplazarlo?</translation>
    </message>
    <message>
        <source>Save the Data File as MS Word</source>
        <translation>Guardar los datos como MS Word</translation>
    </message>
    <message>
        <source>MsWord Files</source>
        <translation>Ficheros de MS Word</translation>
    </message>
    <message>
        <source>Save the Data File as Excel Sheet</source>
        <translation>Guardar los datos como hoja de Excel</translation>
    </message>
    <message>
        <source>Excel Files</source>
        <translation>Ficheros de Excel</translation>
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
        <translation>Uso: %1 [-h | --help | --version]
Descarga el registro de eventos de un detector de gas H2S a través del Lorimet Adapter, lo
muestra en una ventana y lo guarda como texto, documento de Word o libro de Excel.

  -h, --help  Mostrar esta ayuda y salir.
  --version   Mostrar la versión y salir.
</translation>
    </message>
</context>
</TS>
