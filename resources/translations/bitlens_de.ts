<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AboutBox</name>
    <message>
        <source>About Bitlens</source>
        <translation>Über Bitlens</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Bitlens %1&lt;/h3&gt;&lt;p&gt;A programmer&apos;s number converter: one integer of up to 64 bits in binary, decimal, hexadecimal, octal, base 36, text, IP address, version and float notation at once, and as a grid of its bits.&lt;/p&gt;&lt;p&gt;Free software under the MIT licence.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Bitlens %1&lt;/h3&gt;&lt;p&gt;Ein Zahlenumrechner für Programmierer: eine Ganzzahl mit bis zu 64 Bit, zugleich binär, dezimal, hexadezimal, oktal, zur Basis 36, als Text, als IP-Adresse, als Versionsnummer und als Gleitkommazahl, dazu als Raster ihrer Bits.&lt;/p&gt;&lt;p&gt;Freie Software unter der MIT-Lizenz.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>BitFieldPanel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Bits</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>The bits of %1, msb:lsb, such as 31:28</source>
        <translation>Die Bits von %1, MSB:LSB, etwa 31:28</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>%1 in hexadecimal: type a value to set these bits of the Value</source>
        <translation>%1 hexadezimal: einen Wert eingeben, um diese Bits des Werts zu setzen</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Dezimal</translation>
    </message>
    <message>
        <source>%1 in decimal, signed when the field is: type a value to set these bits of the Value</source>
        <translation>%1 dezimal, mit Vorzeichen, wenn das Feld eines hat: einen Wert eingeben, um diese Bits des Werts zu setzen</translation>
    </message>
    <message>
        <source>Name of value</source>
        <translation>Name des Werts</translation>
    </message>
    <message>
        <source>The name of %1&apos;s value: choose one to set these bits of the Value</source>
        <translation>Der Name des Werts von %1: einen wählen, um diese Bits des Werts zu setzen</translation>
    </message>
    <message>
        <source>Signed</source>
        <translation>Vorzeichen</translation>
    </message>
    <message>
        <source>Whether %1 reads as a two&apos;s complement number</source>
        <translation>Ob %1 als Zweierkomplement gelesen wird</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>What %1 is for</source>
        <translation>Wozu %1 dient</translation>
    </message>
    <message>
        <source>Named values</source>
        <translation>Benannte Werte</translation>
    </message>
    <message>
        <source>Names for values of %1, written VALUE = NAME, separated by commas</source>
        <translation>Namen für Werte von %1, geschrieben WERT = NAME, durch Kommas getrennt</translation>
    </message>
    <message>
        <source>Value of %1</source>
        <translation>Wert von %1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Bit Fields</source>
        <translation>Bitfelder</translation>
    </message>
    <message>
        <source>Bit fields</source>
        <translation>Bitfelder</translation>
    </message>
    <message>
        <source>Layout:</source>
        <translation>Layout:</translation>
    </message>
    <message>
        <source>Bit-field layout</source>
        <translation>Bitfeld-Layout</translation>
    </message>
    <message>
        <source>The saved layouts; a damaged one is listed and cannot be chosen</source>
        <translation>Die gespeicherten Layouts; ein beschädigtes steht in der Liste und kann nicht gewählt werden</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Umbenennen…</translation>
    </message>
    <message>
        <source>Give the layout another name</source>
        <translation>Dem Layout einen anderen Namen geben</translation>
    </message>
    <message>
        <source>One line per field; edit a cell to change the field or its value</source>
        <translation>Eine Zeile je Feld; eine Zelle bearbeiten, um das Feld oder seinen Wert zu ändern</translation>
    </message>
    <message>
        <source>Add Field</source>
        <translation>Feld hinzufügen</translation>
    </message>
    <message>
        <source>Add a field for the bits selected in the Value&apos;s bit grid</source>
        <translation>Ein Feld für die im Bitraster des Werts ausgewählten Bits hinzufügen</translation>
    </message>
    <message>
        <source>Remove Field</source>
        <translation>Feld entfernen</translation>
    </message>
    <message>
        <source>Remove the field of the current line</source>
        <translation>Das Feld der aktuellen Zeile entfernen</translation>
    </message>
    <message>
        <source>Bit fields message</source>
        <translation>Meldung der Bitfelder</translation>
    </message>
    <message>
        <source>No layout</source>
        <translation>Kein Layout</translation>
    </message>
    <message>
        <source>%1 (damaged)</source>
        <translation>%1 (beschädigt)</translation>
    </message>
    <message>
        <source>%1 (not saved)</source>
        <translation>%1 (nicht gespeichert)</translation>
    </message>
    <message>
        <source>Rename Layout</source>
        <translation>Layout umbenennen</translation>
    </message>
    <message>
        <source>Layout name:</source>
        <translation>Name des Layouts:</translation>
    </message>
    <message>
        <source>Lines of the file left out: %1; the first: %2</source>
        <translation>Ausgelassene Zeilen der Datei: %1; die erste: %2</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 shares bits with another field</source>
        <translation>%1 teilt Bits mit einem anderen Feld</translation>
    </message>
    <message>
        <source>signed</source>
        <translation>mit Vorzeichen</translation>
    </message>
    <message>
        <source>unsigned</source>
        <translation>ohne Vorzeichen</translation>
    </message>
    <message>
        <source>A field needs a name.</source>
        <translation>Ein Feld braucht einen Namen.</translation>
    </message>
    <message>
        <source>Bits are written msb:lsb, from 127 down to 0 and at most 64 of them, such as 31:28.</source>
        <translation>Bits werden MSB:LSB geschrieben, von 127 bis 0 und höchstens 64, etwa 31:28.</translation>
    </message>
    <message>
        <source>%1&apos;s named value %2 does not fit bits %3.</source>
        <translation>Der benannte Wert %2 von %1 passt nicht in die Bits %3.</translation>
    </message>
    <message>
        <source>Named values are written VALUE = NAME, separated by commas, each value within the field: 0 = OFF, 1 = ON.</source>
        <translation>Benannte Werte werden WERT = NAME geschrieben, durch Kommas getrennt, jeder Wert innerhalb des Felds: 0 = AUS, 1 = AN.</translation>
    </message>
    <message>
        <source>%1 (bits %2) cannot hold %3.</source>
        <translation>%1 (Bits %2) kann %3 nicht aufnehmen.</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>%1 and %2 share bits; overlapping fields stand on bands of their own under the Value&apos;s bits.</source>
        <translation>%1 und %2 teilen Bits; überlappende Felder stehen auf eigenen Bändern unter den Bits des Werts.</translation>
    </message>
    <message>
        <source>The name of the field %1</source>
        <translation>Der Name des Felds %1</translation>
    </message>
    <message>
        <source>The layout cannot take this: a field&apos;s bits or named values are not sound.</source>
        <translation>Das Layout kann das nicht aufnehmen: Bits oder benannte Werte eines Felds sind nicht stimmig.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Close the layout and delete it from the saved layouts; Undo brings it back</source>
        <translation>Das Layout schließen und aus den gespeicherten Layouts löschen; Rückgängig holt es zurück</translation>
    </message>
    <message>
        <source>The saved layout %1 was replaced; Undo brings it back.</source>
        <translation>Das gespeicherte Layout %1 wurde ersetzt; Rückgängig holt es zurück.</translation>
    </message>
    <message>
        <source>%1 was deleted; Undo brings it back.</source>
        <translation>%1 wurde gelöscht; Rückgängig holt es zurück.</translation>
    </message>
    <message>
        <source>Not deleted: %1</source>
        <translation>Nicht gelöscht: %1</translation>
    </message>
    <message>
        <source>Read as:</source>
        <translation>Lesen als:</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>Lesart</translation>
    </message>
    <message>
        <source>Unsigned</source>
        <translation>Ohne Vorzeichen</translation>
    </message>
    <message>
        <source>Signed</source>
        <comment>a reading</comment>
        <translation>Mit Vorzeichen</translation>
    </message>
    <message>
        <source>Float (half)</source>
        <translation>Gleitkomma (halb)</translation>
    </message>
    <message>
        <source>bfloat16</source>
        <translation>bfloat16</translation>
    </message>
    <message>
        <source>Float (single)</source>
        <translation>Gleitkomma (einfach)</translation>
    </message>
    <message>
        <source>Float (double)</source>
        <translation>Gleitkomma (doppelt)</translation>
    </message>
    <message>
        <source>Float (quadruple)</source>
        <translation>Gleitkomma (vierfach)</translation>
    </message>
    <message>
        <source>How every lane reads in the Decimal column: an integer or a float of its size</source>
        <translation>Wie jede Spur in der Spalte Dezimal gelesen wird: als Ganzzahl oder als Gleitkommazahl ihrer Größe</translation>
    </message>
    <message>
        <source>How the current line&apos;s field reads in the Decimal column: an integer or a float of its size</source>
        <translation>Wie das Feld der aktuellen Zeile in der Spalte Dezimal gelesen wird: als Ganzzahl oder als Gleitkommazahl seiner Größe</translation>
    </message>
    <message>
        <source>%1 as a float: type a number to set these bits of the Value</source>
        <translation>%1 als Gleitkommazahl: eine Zahl eingeben, um diese Bits des Werts zu setzen</translation>
    </message>
    <message>
        <source>Lanes: %1 × %2</source>
        <translation>Spuren: %1 × %2</translation>
    </message>
    <message>
        <source>%1 has no such reading at its size.</source>
        <translation>%1 hat bei seiner Größe keine solche Lesart.</translation>
    </message>
</context>
<context>
    <name>BitGrid</name>
    <message>
        <source>bit %1</source>
        <translation>Bit %1</translation>
    </message>
    <message>
        <source>Bits</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>%1, bits</source>
        <translation>%1, Bits</translation>
    </message>
    <message>
        <source>signed: bit %1 is the sign</source>
        <translation>mit Vorzeichen: Bit %1 ist das Vorzeichen</translation>
    </message>
    <message>
        <source>bit %1 · byte %2 · 2^%1 = %3</source>
        <translation>Bit %1 · Byte %2 · 2^%1 = %3</translation>
    </message>
    <message>
        <source>bit %1 · byte %2 · 2^%1 = %3 · sign</source>
        <translation>Bit %1 · Byte %2 · 2^%1 = %3 · Vorzeichen</translation>
    </message>
    <message>
        <source>byte %1, 2 to the power of %2 is %3, the sign</source>
        <translation>Byte %1, 2 hoch %2 ist %3, das Vorzeichen</translation>
    </message>
    <message>
        <source>byte %1, 2 to the power of %2 is %3</source>
        <translation>Byte %1, 2 hoch %2 ist %3</translation>
    </message>
    <message>
        <source>%1, in %2</source>
        <translation>%1, in %2</translation>
    </message>
    <message>
        <source>field %1</source>
        <translation>Feld %1</translation>
    </message>
    <message>
        <source>fields %1 and %2</source>
        <translation>Feldern %1 und %2</translation>
    </message>
    <message>
        <source>%1 · bits %2 · %3 = %4</source>
        <translation>%1 · Bits %2 · %3 = %4</translation>
    </message>
    <message>
        <source>&amp;Name These Bits…</source>
        <translation>Diese Bits be&amp;nennen…</translation>
    </message>
    <message>
        <source>Add a bit field for the selected bits</source>
        <translation>Ein Bitfeld für die ausgewählten Bits hinzufügen</translation>
    </message>
</context>
<context>
    <name>ConverterDocument</name>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation>Br&amp;eite:</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Bit width of all three numbers</source>
        <translation>Bitbreite aller drei Zahlen</translation>
    </message>
    <message>
        <source>8 bits</source>
        <translation>8 Bit</translation>
    </message>
    <message>
        <source>16 bits</source>
        <translation>16 Bit</translation>
    </message>
    <message>
        <source>32 bits</source>
        <translation>32 Bit</translation>
    </message>
    <message>
        <source>64 bits</source>
        <translation>64 Bit</translation>
    </message>
    <message>
        <source>Show math area</source>
        <translation>Rechenbereich anzeigen</translation>
    </message>
    <message>
        <source>Show or hide the Operand and Result rows</source>
        <translation>Die Zeilen Operand und Ergebnis ein- oder ausblenden</translation>
    </message>
    <message>
        <source>&amp;Math</source>
        <translation>&amp;Rechnen</translation>
    </message>
    <message>
        <source>&amp;Binary</source>
        <translation>Bi&amp;när</translation>
    </message>
    <message>
        <source>&amp;Decimal</source>
        <translation>De&amp;zimal</translation>
    </message>
    <message>
        <source>He&amp;xadecimal</source>
        <translation>He&amp;xadezimal</translation>
    </message>
    <message>
        <source>&amp;Octal</source>
        <translation>&amp;Oktal</translation>
    </message>
    <message>
        <source>Base &amp;36</source>
        <translation>Basis &amp;36</translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation>&amp;Text</translation>
    </message>
    <message>
        <source>&amp;IP address</source>
        <translation>&amp;IP-Adresse</translation>
    </message>
    <message>
        <source>Ve&amp;rsion</source>
        <translation>&amp;Version</translation>
    </message>
    <message>
        <source>Value signed</source>
        <translation>Wert mit Vorzeichen</translation>
    </message>
    <message>
        <source>Read the number as two&apos;s complement</source>
        <translation>Die Zahl als Zweierkomplement lesen</translation>
    </message>
    <message>
        <source>&amp;Signed</source>
        <translation>&amp;Mit Vorzeichen</translation>
    </message>
    <message>
        <source>Shift Value left</source>
        <translation>Wert nach links schieben</translation>
    </message>
    <message>
        <source>Shift left by one bit</source>
        <translation>Um ein Bit nach links schieben</translation>
    </message>
    <message>
        <source>« Shift</source>
        <translation>« Schieben</translation>
    </message>
    <message>
        <source>Shift Value right</source>
        <translation>Wert nach rechts schieben</translation>
    </message>
    <message>
        <source>Shift right by one bit</source>
        <translation>Um ein Bit nach rechts schieben</translation>
    </message>
    <message>
        <source>Shift »</source>
        <translation>Schieben »</translation>
    </message>
    <message>
        <source>Value big-endian</source>
        <translation>Wert in Big-Endian</translation>
    </message>
    <message>
        <source>Read the decimal number most significant byte first</source>
        <translation>Die Dezimalzahl mit dem höchstwertigen Byte zuerst lesen</translation>
    </message>
    <message>
        <source>Bi&amp;g endian</source>
        <translation>Bi&amp;g-Endian</translation>
    </message>
    <message>
        <source>Value little-endian</source>
        <translation>Wert in Little-Endian</translation>
    </message>
    <message>
        <source>Read the decimal number least significant byte first</source>
        <translation>Die Dezimalzahl mit dem niederwertigsten Byte zuerst lesen</translation>
    </message>
    <message>
        <source>&amp;Little endian</source>
        <translation>&amp;Little-Endian</translation>
    </message>
    <message>
        <source>Swap Value bytes</source>
        <translation>Bytes des Werts tauschen</translation>
    </message>
    <message>
        <source>Reverse the byte order, keeping the decimal number</source>
        <translation>Die Bytereihenfolge umkehren, die Dezimalzahl bleibt</translation>
    </message>
    <message>
        <source>Swap b&amp;ytes</source>
        <translation>B&amp;ytes tauschen</translation>
    </message>
    <message>
        <source>Value binary magnitude</source>
        <translation>Wert, binäre Größe</translation>
    </message>
    <message>
        <source>Size in 1024-based units</source>
        <translation>Größe in 1024er-Einheiten</translation>
    </message>
    <message>
        <source>Value metric magnitude</source>
        <translation>Wert, metrische Größe</translation>
    </message>
    <message>
        <source>Size in 1000-based units</source>
        <translation>Größe in 1000er-Einheiten</translation>
    </message>
    <message>
        <source>Math</source>
        <translation>Rechnen</translation>
    </message>
    <message>
        <source>Operand</source>
        <translation>Operand</translation>
    </message>
    <message>
        <source>O&amp;peration:</source>
        <translation>O&amp;peration:</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>How the Result row combines the Value and Operand rows</source>
        <translation>Wie die Zeile Ergebnis die Zeilen Wert und Operand verknüpft</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Operand signed</source>
        <translation>Operand mit Vorzeichen</translation>
    </message>
    <message>
        <source>Signed</source>
        <translation>Mit Vorzeichen</translation>
    </message>
    <message>
        <source>Shift Operand left</source>
        <translation>Operand nach links schieben</translation>
    </message>
    <message>
        <source>Shift Operand right</source>
        <translation>Operand nach rechts schieben</translation>
    </message>
    <message>
        <source>Result signed</source>
        <translation>Ergebnis mit Vorzeichen</translation>
    </message>
    <message>
        <source>Operand big-endian</source>
        <translation>Operand in Big-Endian</translation>
    </message>
    <message>
        <source>Big endian</source>
        <translation>Big-Endian</translation>
    </message>
    <message>
        <source>Operand little-endian</source>
        <translation>Operand in Little-Endian</translation>
    </message>
    <message>
        <source>Little endian</source>
        <translation>Little-Endian</translation>
    </message>
    <message>
        <source>Swap Operand bytes</source>
        <translation>Bytes des Operanden tauschen</translation>
    </message>
    <message>
        <source>Swap bytes</source>
        <translation>Bytes tauschen</translation>
    </message>
    <message>
        <source>Result big-endian</source>
        <translation>Ergebnis in Big-Endian</translation>
    </message>
    <message>
        <source>Result little-endian</source>
        <translation>Ergebnis in Little-Endian</translation>
    </message>
    <message>
        <source>Operand binary magnitude</source>
        <translation>Operand, binäre Größe</translation>
    </message>
    <message>
        <source>Operand metric magnitude</source>
        <translation>Operand, metrische Größe</translation>
    </message>
    <message>
        <source>Result binary magnitude</source>
        <translation>Ergebnis, binäre Größe</translation>
    </message>
    <message>
        <source>Result metric magnitude</source>
        <translation>Ergebnis, metrische Größe</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Notations</source>
        <translation>&amp;Schreibweisen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;New Window</source>
        <translation>&amp;Neues Fenster</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>Fenster &amp;schließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>Wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy as &amp;Literal</source>
        <translation>Als &amp;Literal kopieren</translation>
    </message>
    <message>
        <source>Copy the number as a source-code literal: 0x…, 0b…, 0o… or decimal</source>
        <translation>Die Zahl als Literal für Quelltext kopieren: 0x…, 0b…, 0o… oder dezimal</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Einf&amp;ügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>Lö&amp;schen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles aus&amp;wählen</translation>
    </message>
    <message>
        <source>&amp;Math Area</source>
        <translation>&amp;Rechenbereich</translation>
    </message>
    <message>
        <source>Show the Operand and Result rows and the operation</source>
        <translation>Die Zeilen Operand und Ergebnis und die Operation anzeigen</translation>
    </message>
    <message>
        <source>&amp;Keep on Top</source>
        <translation>Im &amp;Vordergrund halten</translation>
    </message>
    <message>
        <source>Keep this window above the other windows</source>
        <translation>Dieses Fenster über den anderen Fenstern halten</translation>
    </message>
    <message>
        <source>&amp;About Bitlens</source>
        <translation>Ü&amp;ber Bitlens</translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation>Über &amp;Qt</translation>
    </message>
    <message>
        <source>Flo&amp;at</source>
        <translation>Gleit&amp;komma</translation>
    </message>
    <message>
        <source>Bits</source>
        <translation>Bits</translation>
    </message>
    <message>
        <source>rotate left</source>
        <translation>nach links rotieren</translation>
    </message>
    <message>
        <source>rotate right</source>
        <translation>nach rechts rotieren</translation>
    </message>
    <message>
        <source>arithmetic shift right</source>
        <translation>arithmetisch nach rechts schieben</translation>
    </message>
    <message>
        <source>signed divide</source>
        <translation>mit Vorzeichen dividieren</translation>
    </message>
    <message>
        <source>signed remainder</source>
        <translation>Rest mit Vorzeichen</translation>
    </message>
    <message>
        <source>negate</source>
        <translation>negieren</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Binär</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Dezimal</translation>
    </message>
    <message>
        <source>Hexadecimal</source>
        <translation>Hexadezimal</translation>
    </message>
    <message>
        <source>Octal</source>
        <translation>Oktal</translation>
    </message>
    <message>
        <source>Base 36</source>
        <translation>Basis 36</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Float</source>
        <translation>Gleitkomma</translation>
    </message>
    <message>
        <source>&amp;Bit Fields</source>
        <translation>&amp;Bitfelder</translation>
    </message>
    <message>
        <source>Show the bit fields of the Value: their names, bits and values</source>
        <translation>Die Bitfelder des Werts zeigen: ihre Namen, Bits und Werte</translation>
    </message>
    <message>
        <source>&amp;Import Layout…</source>
        <translation>Layout &amp;importieren…</translation>
    </message>
    <message>
        <source>Read a bit-field layout from an SVD file, bit-field JSON, C #define lines or a Bitlens layout</source>
        <translation>Ein Bitfeld-Layout aus einer SVD-Datei, Bitfeld-JSON, C-#define-Zeilen oder einem Bitlens-Layout lesen</translation>
    </message>
    <message>
        <source>&amp;Export Layout…</source>
        <translation>Layout &amp;exportieren…</translation>
    </message>
    <message>
        <source>Write the bit-field layout as C #define lines, bit-field JSON or a Bitlens layout</source>
        <translation>Das Bitfeld-Layout als C-#define-Zeilen, Bitfeld-JSON oder Bitlens-Layout schreiben</translation>
    </message>
    <message>
        <source>&amp;History</source>
        <translation>Ver&amp;lauf</translation>
    </message>
    <message>
        <source>Show what was entered with Enter, to bring it back</source>
        <translation>Zeigt, was mit der Eingabetaste eingegeben wurde, um es zurückzuholen</translation>
    </message>
    <message>
        <source>add  +</source>
        <translation>addieren  +</translation>
    </message>
    <message>
        <source>subtract  -</source>
        <translation>subtrahieren  -</translation>
    </message>
    <message>
        <source>multiply  *</source>
        <translation>multiplizieren  *</translation>
    </message>
    <message>
        <source>divide  /</source>
        <translation>dividieren  /</translation>
    </message>
    <message>
        <source>remainder  %</source>
        <translation>Rest  %</translation>
    </message>
    <message>
        <source>shift right  &gt;&gt;</source>
        <translation>nach rechts schieben  &gt;&gt;</translation>
    </message>
    <message>
        <source>shift left  &lt;&lt;</source>
        <translation>nach links schieben  &lt;&lt;</translation>
    </message>
    <message>
        <source>128 bits</source>
        <translation>128 Bit</translation>
    </message>
    <message>
        <source>&amp;UUID</source>
        <translation>&amp;UUID</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
</context>
<context>
    <name>ConverterView</name>
    <message>
        <source>%1 (%2)</source>
        <comment>a field&apos;s tooltip, then the keys that reach it</comment>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>EditMenu</name>
    <message>
        <source>Copy Decimal as &amp;Literal</source>
        <translation>Dezimal als &amp;Literal kopieren</translation>
    </message>
</context>
<context>
    <name>FieldDescription</name>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Operand</source>
        <translation>Operand</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>binary</source>
        <translation>binär</translation>
    </message>
    <message>
        <source>Binary, in groups of four digits; spaces and 0b are ignored</source>
        <translation>Binär, in Vierergruppen; Leerzeichen und 0b werden übergangen</translation>
    </message>
    <message>
        <source>in groups of four binary digits</source>
        <translation>binär in Vierergruppen</translation>
    </message>
    <message>
        <source>decimal</source>
        <translation>dezimal</translation>
    </message>
    <message>
        <source>Decimal, read in the row&apos;s byte order; a leading minus sign makes it signed</source>
        <translation>Dezimal, in der Bytereihenfolge der Zeile gelesen; ein führendes Minuszeichen macht die Zahl vorzeichenbehaftet</translation>
    </message>
    <message>
        <source>in decimal, in the row&apos;s byte order and with its signedness</source>
        <translation>dezimal, in der Bytereihenfolge der Zeile und mit ihrem Vorzeichen</translation>
    </message>
    <message>
        <source>hexadecimal</source>
        <translation>hexadezimal</translation>
    </message>
    <message>
        <source>Hexadecimal, in groups of four digits; spaces and 0x are ignored</source>
        <translation>Hexadezimal, in Vierergruppen; Leerzeichen und 0x werden übergangen</translation>
    </message>
    <message>
        <source>in groups of four hexadecimal digits</source>
        <translation>hexadezimal in Vierergruppen</translation>
    </message>
    <message>
        <source>octal</source>
        <translation>oktal</translation>
    </message>
    <message>
        <source>Octal, in groups of four digits; spaces and 0o are ignored</source>
        <translation>Oktal, in Vierergruppen; Leerzeichen und 0o werden übergangen</translation>
    </message>
    <message>
        <source>in groups of four octal digits</source>
        <translation>oktal in Vierergruppen</translation>
    </message>
    <message>
        <source>base 36</source>
        <translation>Basis 36</translation>
    </message>
    <message>
        <source>Base 36, digits 0–9 and a–z in groups of two; spaces are ignored</source>
        <translation>Basis 36, Ziffern 0–9 und a–z in Zweiergruppen; Leerzeichen werden übergangen</translation>
    </message>
    <message>
        <source>in base 36, digits 0–9 and a–z in groups of two</source>
        <translation>zur Basis 36, Ziffern 0–9 und a–z in Zweiergruppen</translation>
    </message>
    <message>
        <source>text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>The bytes as characters, most significant first; • is a byte that is not printable</source>
        <translation>Die Bytes als Zeichen, das höchstwertige zuerst; • steht für ein nicht druckbares Byte</translation>
    </message>
    <message>
        <source>the bytes as characters, most significant first; • is a byte that is not printable</source>
        <translation>die Bytes als Zeichen, das höchstwertige zuerst; • steht für ein nicht druckbares Byte</translation>
    </message>
    <message>
        <source>IP address</source>
        <translation>IP-Adresse</translation>
    </message>
    <message>
        <source>IPv4 address: the low 32 bits as four dotted numbers</source>
        <translation>IPv4-Adresse: die unteren 32 Bit als vier Zahlen mit Punkten</translation>
    </message>
    <message>
        <source>the low 32 bits as an IPv4 address</source>
        <translation>die unteren 32 Bit als IPv4-Adresse</translation>
    </message>
    <message>
        <source>version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Packed version number such as 1.2.3b4, from the low 32 bits</source>
        <translation>Gepackte Versionsnummer wie 1.2.3b4, aus den unteren 32 Bit</translation>
    </message>
    <message>
        <source>the low 32 bits as a packed version number such as 1.2.3b4</source>
        <translation>die unteren 32 Bit als gepackte Versionsnummer wie 1.2.3b4</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>row, notation</comment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1: read-only, %2</source>
        <comment>name, what it shows</comment>
        <translation>%1: schreibgeschützt, %2</translation>
    </message>
    <message>
        <source>float</source>
        <translation>Gleitkomma</translation>
    </message>
    <message>
        <source>IEEE-754 floating point: half at 16 bits, single at 32, double at 64, read in the row&apos;s byte order; typed at 8 bits, a single, and the width becomes 32</source>
        <translation>Gleitkommazahl nach IEEE 754: halbe Genauigkeit bei 16 Bit, einfache bei 32, doppelte bei 64, in der Bytereihenfolge der Zeile gelesen; bei 8 Bit eingegeben gilt einfache Genauigkeit, und die Breite wird 32</translation>
    </message>
    <message>
        <source>the bits as an IEEE-754 floating-point number, in the row&apos;s byte order</source>
        <translation>die Bits als Gleitkommazahl nach IEEE 754, in der Bytereihenfolge der Zeile</translation>
    </message>
    <message>
        <source>16 bits or more</source>
        <translation>16 Bit oder mehr</translation>
    </message>
    <message>
        <source>read-only, %1</source>
        <comment>what it shows</comment>
        <translation>schreibgeschützt, %1</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
    <message>
        <source>UUID at 128 bits, with or without hyphens, braces or urn:uuid:; typed at a narrower width, the width becomes 128</source>
        <translation>UUID bei 128 Bit, mit oder ohne Bindestriche, Klammern oder urn:uuid:; bei geringerer Breite eingegeben, wird die Breite 128</translation>
    </message>
    <message>
        <source>the 128 bits as a UUID</source>
        <translation>die 128 Bit als UUID</translation>
    </message>
    <message>
        <source>128 bits</source>
        <translation>128 Bit</translation>
    </message>
</context>
<context>
    <name>FlagDescription</name>
    <message>
        <source>the unsigned sum does not fit in the width</source>
        <translation>die Summe ohne Vorzeichen passt nicht in die Breite</translation>
    </message>
    <message>
        <source>the subtraction borrows: the Value is below the Operand, unsigned</source>
        <translation>die Subtraktion borgt: der Wert ist ohne Vorzeichen kleiner als der Operand</translation>
    </message>
    <message>
        <source>the unsigned product does not fit in the width</source>
        <translation>das Produkt ohne Vorzeichen passt nicht in die Breite</translation>
    </message>
    <message>
        <source>the last bit rotated round to the other end</source>
        <translation>das zuletzt ans andere Ende rotierte Bit</translation>
    </message>
    <message>
        <source>the last bit shifted out of the width</source>
        <translation>das zuletzt aus der Breite geschobene Bit</translation>
    </message>
    <message>
        <source>the signed sum does not fit in the width</source>
        <translation>die Summe mit Vorzeichen passt nicht in die Breite</translation>
    </message>
    <message>
        <source>the signed difference does not fit in the width</source>
        <translation>die Differenz mit Vorzeichen passt nicht in die Breite</translation>
    </message>
    <message>
        <source>the signed product does not fit in the width</source>
        <translation>das Produkt mit Vorzeichen passt nicht in die Breite</translation>
    </message>
    <message>
        <source>the most negative number divided by -1: the quotient does not fit, the Value is shown</source>
        <translation>die kleinste negative Zahl durch -1 geteilt: der Quotient passt nicht, der Wert wird angezeigt</translation>
    </message>
    <message>
        <source>the Value is the most negative number: its negation does not fit</source>
        <translation>der Wert ist die kleinste negative Zahl: ihre Negation passt nicht</translation>
    </message>
    <message>
        <source>the result is 0 within the width</source>
        <translation>das Ergebnis ist innerhalb der Breite 0</translation>
    </message>
    <message>
        <source>the result&apos;s top bit, its sign when read as signed, is set</source>
        <translation>das höchstwertige Bit des Ergebnisses ist gesetzt, mit Vorzeichen gelesen sein Vorzeichen</translation>
    </message>
    <message>
        <source>the Operand is 0, so the result is 0</source>
        <translation>der Operand ist 0, daher ist das Ergebnis 0</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <comment>flag, what it means when set</comment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>does not apply to %1</source>
        <comment>operation</comment>
        <translation>gilt nicht für „%1“</translation>
    </message>
    <message>
        <source>Zero flag</source>
        <translation>Nullflag</translation>
    </message>
    <message>
        <source>Sign flag</source>
        <translation>Vorzeichenflag</translation>
    </message>
    <message>
        <source>Carry flag</source>
        <translation>Übertragsflag</translation>
    </message>
    <message>
        <source>Overflow flag</source>
        <translation>Überlaufflag</translation>
    </message>
    <message>
        <source>Divide-by-zero flag</source>
        <translation>Division-durch-null-Flag</translation>
    </message>
</context>
<context>
    <name>HistoryPanel</name>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>What was entered with Enter, newest first: Enter or a double-click brings an entry back into the Value row, Delete removes it</source>
        <translation>Was mit der Eingabetaste eingegeben wurde, das Neueste zuerst: die Eingabetaste oder ein Doppelklick holt einen Eintrag in die Wert-Zeile zurück, Entf entfernt ihn</translation>
    </message>
    <message>
        <source>&amp;Clear History…</source>
        <translation>Verla&amp;uf leeren …</translation>
    </message>
    <message>
        <source>Clear history</source>
        <translation>Verlauf leeren</translation>
    </message>
    <message>
        <source>Remove every entry from the history, in every Bitlens window</source>
        <translation>Entfernt jeden Eintrag aus dem Verlauf, in jedem Bitlens-Fenster</translation>
    </message>
    <message>
        <source>%1 = %2 · %3 bits</source>
        <comment>expression, result, width</comment>
        <translation>%1 = %2 · %3 Bit</translation>
    </message>
    <message>
        <source>signed</source>
        <translation>mit Vorzeichen</translation>
    </message>
    <message>
        <source>unsigned</source>
        <translation>ohne Vorzeichen</translation>
    </message>
    <message>
        <source>little-endian</source>
        <translation>Little-Endian</translation>
    </message>
    <message>
        <source>big-endian</source>
        <translation>Big-Endian</translation>
    </message>
    <message>
        <source>%1 · %2, %3 · %4</source>
        <comment>field typed in, signedness, byte order, when</comment>
        <translation>%1 · %2, %3 · %4</translation>
    </message>
    <message>
        <source>&amp;Bring Back</source>
        <translation>&amp;Zurückholen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Verlauf leeren</translation>
    </message>
    <message>
        <source>Remove every entry from the history?</source>
        <translation>Jeden Eintrag aus dem Verlauf entfernen?</translation>
    </message>
    <message>
        <source>This cannot be undone.</source>
        <translation>Das lässt sich nicht rückgängig machen.</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
</context>
<context>
    <name>LayoutFiles</name>
    <message>
        <source>not a saved layout</source>
        <translation>kein gespeichertes Layout</translation>
    </message>
    <message>
        <source>&quot;reading&quot; is none of &quot;%1&quot;, &quot;%2&quot; and &quot;%3&quot;</source>
        <translation>„reading“ ist keins von „%1“, „%2“ und „%3“</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a text</source>
        <translation>„%1“ ist kein Text</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number</source>
        <translation>„%1“ ist keine ganze Zahl</translation>
    </message>
    <message>
        <source>&quot;value&quot; is not a number from 0 to 2^64 - 1</source>
        <translation>„value“ ist keine Zahl von 0 bis 2^64 - 1</translation>
    </message>
    <message>
        <source>a named value is not a JSON object</source>
        <translation>ein benannter Wert ist kein JSON-Objekt</translation>
    </message>
    <message>
        <source>a field is not a JSON object</source>
        <translation>ein Feld ist kein JSON-Objekt</translation>
    </message>
    <message>
        <source>&quot;signed&quot; is neither true nor false</source>
        <translation>„signed“ ist weder true noch false</translation>
    </message>
    <message>
        <source>&quot;values&quot; is not a list</source>
        <translation>„values“ ist keine Liste</translation>
    </message>
    <message>
        <source>more than %1 named values</source>
        <translation>mehr als %1 benannte Werte</translation>
    </message>
    <message>
        <source>not a Bitlens layout file: no &quot;format&quot;: &quot;%1&quot;</source>
        <translation>keine Bitlens-Layoutdatei: kein „format“: „%1“</translation>
    </message>
    <message>
        <source>written by a newer Bitlens (layout file version %1; this one reads version %2)</source>
        <translation>von einem neueren Bitlens geschrieben (Layoutdatei-Version %1; dieses liest Version %2)</translation>
    </message>
    <message>
        <source>layout file version %1 does not exist</source>
        <translation>Layoutdatei-Version %1 gibt es nicht</translation>
    </message>
    <message>
        <source>&quot;fields&quot; is not a list</source>
        <translation>„fields“ ist keine Liste</translation>
    </message>
    <message>
        <source>more than %1 fields</source>
        <translation>mehr als %1 Felder</translation>
    </message>
    <message>
        <source>the file is %1 MB; layout files are read up to %2 MB</source>
        <translation>die Datei hat %1 MB; Layoutdateien werden bis %2 MB gelesen</translation>
    </message>
    <message>
        <source>the field at bits %1</source>
        <translation>das Feld bei den Bits %1</translation>
    </message>
    <message>
        <source>field %1</source>
        <translation>Feld %1</translation>
    </message>
    <message>
        <source>width %1 is not 8, 16, 32 or 64</source>
        <translation>Breite %1 ist nicht 8, 16, 32 oder 64</translation>
    </message>
    <message>
        <source>%1 has no name</source>
        <translation>%1 hat keinen Namen</translation>
    </message>
    <message>
        <source>%1: msb %2 is below lsb %3</source>
        <translation>%1: MSB %2 liegt unter LSB %3</translation>
    </message>
    <message>
        <source>%1: bits %2 are past bit 63</source>
        <translation>%1: Bits %2 liegen über Bit 63</translation>
    </message>
    <message>
        <source>%1: bits %2 are past the register&apos;s %3 bits</source>
        <translation>%1: Bits %2 liegen über den %3 Bits des Registers</translation>
    </message>
    <message>
        <source>%1: more than %2 named values</source>
        <translation>%1: mehr als %2 benannte Werte</translation>
    </message>
    <message>
        <source>%1: a named value has no name</source>
        <translation>%1: ein benannter Wert hat keinen Namen</translation>
    </message>
    <message>
        <source>%1: value %2 does not fit its %3 bits</source>
        <translation>%1: Wert %2 passt nicht in seine %3 Bits</translation>
    </message>
    <message>
        <source>%1 is not sound</source>
        <translation>%1 ist nicht stimmig</translation>
    </message>
    <message>
        <source>not JSON: %1</source>
        <translation>kein JSON: %1</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>keine solche Datei</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>the folder cannot be made</source>
        <translation>der Ordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>not readable XML: %1</source>
        <translation>kein lesbares XML: %1</translation>
    </message>
    <message>
        <source>no XML element in the file</source>
        <translation>kein XML-Element in der Datei</translation>
    </message>
    <message>
        <source>not an SVD file: the top element is &lt;%1&gt;, not &lt;device&gt;</source>
        <translation>keine SVD-Datei: das oberste Element ist &lt;%1&gt;, nicht &lt;device&gt;</translation>
    </message>
    <message>
        <source>size &quot;%1&quot; is not a number of bits</source>
        <translation>Größe „%1“ ist keine Anzahl von Bits</translation>
    </message>
    <message>
        <source>clusters nested more than %1 deep</source>
        <translation>Cluster tiefer als %1 Ebenen verschachtelt</translation>
    </message>
    <message>
        <source>register %1 derives from %2, which is not in the file</source>
        <translation>Register %1 leitet sich von %2 ab, das nicht in der Datei steht</translation>
    </message>
    <message>
        <source>register %1: derivedFrom goes round in a circle</source>
        <translation>Register %1: derivedFrom dreht sich im Kreis</translation>
    </message>
    <message>
        <source>field %1 derives from %2, which is not in the file</source>
        <translation>Feld %1 leitet sich von %2 ab, das nicht in der Datei steht</translation>
    </message>
    <message>
        <source>enumeratedValues %1 is not in the file; its names are left out</source>
        <translation>enumeratedValues %1 steht nicht in der Datei; seine Namen sind ausgelassen</translation>
    </message>
    <message>
        <source>field %1: an enumerated value has no name; left out</source>
        <translation>Feld %1: ein Aufzählungswert hat keinen Namen; ausgelassen</translation>
    </message>
    <message>
        <source>field %1: value &quot;%2&quot; of %3 is not a number; left out</source>
        <translation>Feld %1: Wert „%2“ von %3 ist keine Zahl; ausgelassen</translation>
    </message>
    <message>
        <source>field %1: value %2 of %3 does not fit its %4 bits; left out</source>
        <translation>Feld %1: Wert %2 von %3 passt nicht in seine %4 Bits; ausgelassen</translation>
    </message>
    <message>
        <source>field %1: value %2 of %3 stands for more than %4 values; left out</source>
        <translation>Feld %1: Wert %2 von %3 steht für mehr als %4 Werte; ausgelassen</translation>
    </message>
    <message>
        <source>field %1: %2 &quot;%3&quot; is not a bit number</source>
        <translation>Feld %1: %2 „%3“ ist keine Bitnummer</translation>
    </message>
    <message>
        <source>field %1: bitRange &quot;%2&quot; is not [msb:lsb]</source>
        <translation>Feld %1: bitRange „%2“ ist nicht [msb:lsb]</translation>
    </message>
    <message>
        <source>field %1 has no bit position (bitOffset, lsb and msb, or bitRange)</source>
        <translation>Feld %1 hat keine Bitposition (bitOffset, lsb und msb oder bitRange)</translation>
    </message>
    <message>
        <source>no such register in the file</source>
        <translation>kein solches Register in der Datei</translation>
    </message>
    <message>
        <source>an SVD file holds many registers: name one as PERIPHERAL.REGISTER</source>
        <translation>eine SVD-Datei enthält viele Register: eines als PERIPHERIE.REGISTER nennen</translation>
    </message>
    <message>
        <source>no register %1 in the file</source>
        <translation>kein Register %1 in der Datei</translation>
    </message>
    <message>
        <source>not a bit-field diagram: neither a list of fields nor an object with a &quot;reg&quot; list</source>
        <translation>kein Bitfeld-Diagramm: weder eine Liste von Feldern noch ein Objekt mit einer „reg“-Liste</translation>
    </message>
    <message>
        <source>element %1 is not an object with &quot;bits&quot;</source>
        <translation>Element %1 ist kein Objekt mit „bits“</translation>
    </message>
    <message>
        <source>no named fields</source>
        <translation>keine benannten Felder</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 und %2 weitere</translation>
    </message>
    <message>
        <source>masks that are not one run of set bits: %1</source>
        <translation>Masken, die keine zusammenhängende Folge gesetzter Bits sind: %1</translation>
    </message>
    <message>
        <source>masks of no bits: %1</source>
        <translation>Masken ohne Bits: %1</translation>
    </message>
    <message>
        <source>values wider than their field: %1</source>
        <translation>Werte, die breiter als ihr Feld sind: %1</translation>
    </message>
    <message>
        <source>defines longer than %1 characters: %2</source>
        <translation>Defines länger als %1 Zeichen: %2</translation>
    </message>
    <message>
        <source>left out: %1</source>
        <translation>ausgelassen: %1</translation>
    </message>
    <message>
        <source>%1: GENMASK(%2, %3) has its high bit %2 below its low bit %3</source>
        <translation>%1: GENMASK(%2, %3) hat sein hohes Bit %2 unter seinem niedrigen Bit %3</translation>
    </message>
    <message>
        <source>more than %1 fields: a header of many registers is read one register at a time; copy that register&apos;s lines into a file of their own</source>
        <translation>mehr als %1 Felder: ein Header mit vielen Registern wird Register für Register gelesen; kopieren Sie die Zeilen des Registers in eine eigene Datei</translation>
    </message>
    <message>
        <source>no bit fields: no line reads #define NAME GENMASK(h, l), BIT(n) or (MASK &lt;&lt; n), nor gives a mask as NAME_Msk, NAME_MASK or NAME_M</source>
        <translation>keine Bitfelder: keine Zeile lautet #define NAME GENMASK(h, l), BIT(n) oder (MASK &lt;&lt; n), und keine gibt eine Maske als NAME_Msk, NAME_MASK oder NAME_M an</translation>
    </message>
    <message>
        <source>the file holds no value</source>
        <translation>die Datei enthält keinen Wert</translation>
    </message>
    <message>
        <source>more after the end of the value: %1</source>
        <translation>weiterer Text nach dem Ende des Werts: %1</translation>
    </message>
    <message>
        <source>the end of the file</source>
        <translation>das Ende der Datei</translation>
    </message>
    <message>
        <source>a /* comment that does not end</source>
        <translation>ein /*-Kommentar, der nicht endet</translation>
    </message>
    <message>
        <source>a text that does not end on its line</source>
        <translation>ein Text, der nicht in seiner Zeile endet</translation>
    </message>
    <message>
        <source>a text that does not end</source>
        <translation>ein Text, der nicht endet</translation>
    </message>
    <message>
        <source>lists and objects nested more than %1 deep</source>
        <translation>Listen und Objekte mehr als %1 tief verschachtelt</translation>
    </message>
    <message>
        <source>%1 is not a number</source>
        <translation>%1 ist keine Zahl</translation>
    </message>
    <message>
        <source>expected a value (an object, a list, a text, a number, true, false or null), found %1</source>
        <translation>erwartet war ein Wert (ein Objekt, eine Liste, ein Text, eine Zahl, true, false oder null), gefunden: %1</translation>
    </message>
    <message>
        <source>the object that opens here does not end</source>
        <translation>das Objekt, das hier beginnt, endet nicht</translation>
    </message>
    <message>
        <source>the list that opens here does not end</source>
        <translation>die Liste, die hier beginnt, endet nicht</translation>
    </message>
    <message>
        <source>expected a key or “}”, found %1</source>
        <translation>erwartet war ein Schlüssel oder „}“, gefunden: %1</translation>
    </message>
    <message>
        <source>expected “:” after the key %1, found %2</source>
        <translation>erwartet war „:“ nach dem Schlüssel %1, gefunden: %2</translation>
    </message>
    <message>
        <source>expected “,” or “}” after the value of %1, found %2</source>
        <translation>erwartet war „,“ oder „}“ nach dem Wert von %1, gefunden: %2</translation>
    </message>
    <message>
        <source>expected “,” or “]” after element %1 of the list, found %2</source>
        <translation>erwartet war „,“ oder „]“ nach Element %1 der Liste, gefunden: %2</translation>
    </message>
    <message>
        <source>field %1: bitRange %2 gives msb %3 below lsb %4</source>
        <translation>Feld %1: bitRange %2 gibt msb %3 unter lsb %4 an</translation>
    </message>
    <message>
        <source>field %1: bitWidth is 0; a field is at least one bit wide</source>
        <translation>Feld %1: bitWidth ist 0; ein Feld ist mindestens ein Bit breit</translation>
    </message>
    <message>
        <source>element %1 has no &quot;bits&quot;: every element gives its width</source>
        <translation>Element %1 hat kein „bits“: jedes Element gibt seine Breite an</translation>
    </message>
    <message>
        <source>element %1: &quot;bits&quot; is %2, not a number</source>
        <translation>Element %1: „bits“ ist %2, keine Zahl</translation>
    </message>
    <message>
        <source>element %1: &quot;bits&quot; is %2, not a whole number of bits</source>
        <translation>Element %1: „bits“ ist %2, keine ganze Zahl von Bits</translation>
    </message>
    <message>
        <source>element %1: &quot;bits&quot; is %2; a field is at least one bit wide</source>
        <translation>Element %1: „bits“ ist %2; ein Feld ist mindestens ein Bit breit</translation>
    </message>
    <message>
        <source>element %1: &quot;bits&quot; is %2; Bitlens holds up to 64 bits</source>
        <translation>Element %1: „bits“ ist %2; Bitlens fasst bis zu 64 Bits</translation>
    </message>
    <message>
        <source>not a diagram as wavedrom reads it: %1</source>
        <translation>kein Diagramm, wie wavedrom es liest: %1</translation>
    </message>
    <message>
        <source>a timing diagram (&quot;signal&quot;), not a bit-field diagram (&quot;reg&quot;)</source>
        <translation>ein Zeitdiagramm („signal“), kein Bitfeld-Diagramm („reg“)</translation>
    </message>
    <message>
        <source>width %1 is not 8, 16, 32, 64 or 128</source>
        <translation>Breite %1 ist nicht 8, 16, 32, 64 oder 128</translation>
    </message>
    <message>
        <source>%1: bits %2 are past bit 127</source>
        <translation>%1: Bits %2 liegen über Bit 127</translation>
    </message>
    <message>
        <source>%1: bits %2 are %3 bits; a field has at most %4</source>
        <translation>%1: Bits %2 sind %3 Bits; ein Feld hat höchstens %4</translation>
    </message>
    <message>
        <source>register %1 is %2 bits wide; Bitlens reads SVD registers of up to 64 bits</source>
        <translation>Register %1 ist %2 Bit breit; Bitlens liest SVD-Register bis zu 64 Bit</translation>
    </message>
    <message>
        <source>element %1: bits %2 are past bit 63; Bitlens reads diagrams of up to 64 bits</source>
        <translation>Element %1: Bits %2 liegen über Bit 63; Bitlens liest Diagramme bis zu 64 Bits</translation>
    </message>
</context>
<context>
    <name>LayoutImport</name>
    <message>
        <source>Import Layout</source>
        <translation>Layout importieren</translation>
    </message>
    <message>
        <source>Layouts (*.svd *.xml *.json *.json5 *.js *.h);;All files (*)</source>
        <translation>Layouts (*.svd *.xml *.json *.json5 *.js *.h);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Nothing was imported.
%1</source>
        <translation>Nichts wurde importiert.
%1</translation>
    </message>
    <message>
        <source>C header (*.h)</source>
        <translation>C-Header (*.h)</translation>
    </message>
    <message>
        <source>Bit-field JSON, wavedrom (*.json)</source>
        <translation>Bitfeld-JSON, wavedrom (*.json)</translation>
    </message>
    <message>
        <source>Bitlens layout (*.json)</source>
        <translation>Bitlens-Layout (*.json)</translation>
    </message>
    <message>
        <source>Export Layout</source>
        <translation>Layout exportieren</translation>
    </message>
    <message>
        <source>The layout was not written.
%1</source>
        <translation>Das Layout wurde nicht geschrieben.
%1</translation>
    </message>
    <message>
        <source>A bit-field diagram cannot show fields that overlap; left out: %1</source>
        <translation>Ein Bitfeld-Diagramm kann keine überlappenden Felder zeigen; ausgelassen: %1</translation>
    </message>
</context>
<context>
    <name>MagnitudeLabel</name>
    <message>
        <source>%1: %2</source>
        <comment>what the label is, then its magnitude</comment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>wrapped: needs more than 64 bits</source>
        <translation>übergelaufen: braucht mehr als 64 Bit</translation>
    </message>
    <message>
        <source>%1 needs more than 64 bits</source>
        <translation>%1 braucht mehr als 64 Bit</translation>
    </message>
    <message>
        <source>division by zero</source>
        <translation>Division durch null</translation>
    </message>
    <message>
        <source>incomplete: a number</source>
        <translation>unvollständig: eine Zahl fehlt</translation>
    </message>
    <message>
        <source>incomplete: a number after %1</source>
        <translation>unvollständig: eine Zahl nach %1</translation>
    </message>
    <message>
        <source>incomplete: a digit after %1</source>
        <translation>unvollständig: eine Ziffer nach %1</translation>
    </message>
    <message>
        <source>incomplete: a closing parenthesis</source>
        <translation>unvollständig: eine schließende Klammer</translation>
    </message>
    <message>
        <source>a number is missing before %1</source>
        <translation>vor %1 fehlt eine Zahl</translation>
    </message>
    <message>
        <source>an operator is missing before %1</source>
        <translation>vor %1 fehlt ein Operator</translation>
    </message>
    <message>
        <source>a closing parenthesis without an opening one</source>
        <translation>eine schließende Klammer ohne öffnende</translation>
    </message>
    <message>
        <source>%1 is not a binary digit or an operator</source>
        <translation>%1 ist weder Binärziffer noch Operator</translation>
    </message>
    <message>
        <source>%1 is not an octal digit or an operator</source>
        <translation>%1 ist weder Oktalziffer noch Operator</translation>
    </message>
    <message>
        <source>%1 is not a decimal digit or an operator</source>
        <translation>%1 ist weder Dezimalziffer noch Operator</translation>
    </message>
    <message>
        <source>%1 is not a hexadecimal digit or an operator</source>
        <translation>%1 ist weder Hexadezimalziffer noch Operator</translation>
    </message>
    <message>
        <source>%1 is not a base-36 digit or an operator</source>
        <translation>%1 ist weder Ziffer zur Basis 36 noch Operator</translation>
    </message>
    <message>
        <source>nested more than 127 deep</source>
        <translation>mehr als 127 Ebenen tief verschachtelt</translation>
    </message>
    <message>
        <source>this field reads no expressions</source>
        <translation>dieses Feld liest keine Ausdrücke</translation>
    </message>
    <message>
        <source>%1 is more than three characters: it and the rest read as 0</source>
        <translation>%1 hat mehr als drei Zeichen: diese und alle folgenden Gruppen werden als 0 gelesen</translation>
    </message>
    <message>
        <source>%1 is more than a byte: the group reads as 0</source>
        <translation>%1 ist mehr als ein Byte: die Gruppe wird als 0 gelesen</translation>
    </message>
    <message>
        <source>%1 is not a number: read as 0</source>
        <translation>%1 ist keine Zahl: als 0 gelesen</translation>
    </message>
    <message>
        <source>%1 does not fit its place: its low bits are read</source>
        <translation>%1 passt nicht an seine Stelle: die unteren Bits werden gelesen</translation>
    </message>
    <message>
        <source>a blank ends a decimal number: read up to %1</source>
        <translation>ein Leerzeichen beendet eine Dezimalzahl: gelesen bis %1</translation>
    </message>
    <message>
        <source>read up to %1</source>
        <translation>gelesen bis %1</translation>
    </message>
    <message>
        <source>ignored: %1 (not a binary digit)</source>
        <translation>übergangen: %1 (keine Binärziffer)</translation>
    </message>
    <message>
        <source>ignored: %1 (not an octal digit)</source>
        <translation>übergangen: %1 (keine Oktalziffer)</translation>
    </message>
    <message>
        <source>ignored: %1 (not a hexadecimal digit)</source>
        <translation>übergangen: %1 (keine Hexadezimalziffer)</translation>
    </message>
    <message>
        <source>ignored: %1 (not a base-36 digit)</source>
        <translation>übergangen: %1 (keine Ziffer zur Basis 36)</translation>
    </message>
    <message>
        <source>ignored: %1</source>
        <translation>übergangen: %1</translation>
    </message>
    <message>
        <source>%1 is not one byte: read as ?</source>
        <translation>%1 ist kein einzelnes Byte: als ? gelesen</translation>
    </message>
    <message>
        <source>wrapped: needs more than 128 bits</source>
        <translation>übergelaufen: braucht mehr als 128 Bit</translation>
    </message>
    <message>
        <source>%1 needs more than 128 bits</source>
        <translation>%1 braucht mehr als 128 Bit</translation>
    </message>
    <message>
        <source>%1 is more than four digits: the group reads as 0</source>
        <translation>%1 hat mehr als vier Ziffern: die Gruppe wird als 0 gelesen</translation>
    </message>
    <message>
        <source>%1 is a zone: left out</source>
        <translation>%1 ist eine Zone: weggelassen</translation>
    </message>
    <message>
        <source>%1 is a prefix length: left out</source>
        <translation>%1 ist eine Präfixlänge: weggelassen</translation>
    </message>
    <message>
        <source>beyond 128 bits: the most negative is shown</source>
        <translation>über 128 Bit: die kleinste negative Zahl wird angezeigt</translation>
    </message>
    <message>
        <source>beyond 128 bits: the largest is shown</source>
        <translation>über 128 Bit: die größte Zahl wird angezeigt</translation>
    </message>
    <message>
        <source>more than 16 characters: 0 is shown</source>
        <translation>mehr als 16 Zeichen: 0 wird angezeigt</translation>
    </message>
    <message>
        <source>more than 128 bits: the low 128 are shown</source>
        <translation>mehr als 128 Bit: die unteren 128 werden angezeigt</translation>
    </message>
    <message>
        <source>the nil UUID</source>
        <translation>die Nil-UUID</translation>
    </message>
    <message>
        <source>the max UUID</source>
        <translation>die Max-UUID</translation>
    </message>
    <message>
        <source>variant 0, kept for backward compatibility with NCS</source>
        <translation>Variante 0, zur Rückwärtskompatibilität mit NCS</translation>
    </message>
    <message>
        <source>version 0, unused</source>
        <translation>Version 0, unbenutzt</translation>
    </message>
    <message>
        <source>version 1, Gregorian time-based</source>
        <translation>Version 1, gregorianisch zeitbasiert</translation>
    </message>
    <message>
        <source>version 2, DCE security</source>
        <translation>Version 2, DCE-Sicherheit</translation>
    </message>
    <message>
        <source>version 3, name-based with MD5</source>
        <translation>Version 3, namensbasiert mit MD5</translation>
    </message>
    <message>
        <source>version 4, random</source>
        <translation>Version 4, zufällig</translation>
    </message>
    <message>
        <source>version 5, name-based with SHA-1</source>
        <translation>Version 5, namensbasiert mit SHA-1</translation>
    </message>
    <message>
        <source>version 6, reordered Gregorian time-based</source>
        <translation>Version 6, umgeordnet gregorianisch zeitbasiert</translation>
    </message>
    <message>
        <source>version 7, Unix Epoch time-based</source>
        <translation>Version 7, auf die Unix-Epoche bezogen zeitbasiert</translation>
    </message>
    <message>
        <source>version 8, custom</source>
        <translation>Version 8, benutzerdefiniert</translation>
    </message>
    <message>
        <source>version %1, reserved</source>
        <translation>Version %1, reserviert</translation>
    </message>
    <message>
        <source>variant 110, reserved for backward compatibility</source>
        <translation>Variante 110, reserviert zur Rückwärtskompatibilität</translation>
    </message>
    <message>
        <source>variant 111, reserved</source>
        <translation>Variante 111, reserviert</translation>
    </message>
    <message>
        <source>the result needs %1 bits: the width is now %1</source>
        <translation>das Ergebnis braucht %1 Bit: die Breite ist jetzt %1</translation>
    </message>
    <message>
        <source>entered in the history</source>
        <translation>in den Verlauf übernommen</translation>
    </message>
    <message>
        <source>they spell more than 128 bits: their low 128 are shown</source>
        <translation>sie ergeben mehr als 128 Bit: die unteren 128 werden angezeigt</translation>
    </message>
    <message>
        <source>cut to 159 characters</source>
        <translation>auf 159 Zeichen gekürzt</translation>
    </message>
    <message>
        <source>cut to 159 characters; %1</source>
        <translation>auf 159 Zeichen gekürzt; %1</translation>
    </message>
</context>
<context>
    <name>SearchAnswers</name>
    <message>
        <source>decimal · unsigned %1 bits</source>
        <translation>dezimal · ohne Vorzeichen, %1 Bit</translation>
    </message>
    <message>
        <source>decimal · signed %1 bits</source>
        <translation>dezimal · mit Vorzeichen, %1 Bit</translation>
    </message>
    <message>
        <source>hexadecimal · %1 bits</source>
        <translation>hexadezimal · %1 Bit</translation>
    </message>
    <message>
        <source>binary · %1 bits</source>
        <translation>binär · %1 Bit</translation>
    </message>
    <message>
        <source>octal · %1 bits</source>
        <translation>oktal · %1 Bit</translation>
    </message>
    <message>
        <source>decimal · the IPv4 address as 32 bits</source>
        <translation>dezimal · die IPv4-Adresse als 32 Bit</translation>
    </message>
    <message>
        <source>hexadecimal · the IPv4 address</source>
        <translation>hexadezimal · die IPv4-Adresse</translation>
    </message>
    <message>
        <source>binary · the IPv4 address by octets</source>
        <translation>binär · die IPv4-Adresse in Oktetten</translation>
    </message>
    <message>
        <source>eight</source>
        <translation>acht</translation>
    </message>
    <message>
        <source>sixteen</source>
        <translation>sechzehn</translation>
    </message>
    <message>
        <source>thirty-two</source>
        <translation>zweiunddreißig</translation>
    </message>
    <message>
        <source>sixty-four</source>
        <translation>vierundsechzig</translation>
    </message>
    <message>
        <source>IPv6 address · shortest form</source>
        <translation>IPv6-Adresse · kürzeste Form</translation>
    </message>
    <message>
        <source>IPv6 address · every group in full</source>
        <translation>IPv6-Adresse · jede Gruppe ausgeschrieben</translation>
    </message>
    <message>
        <source>hexadecimal · the IPv6 address</source>
        <translation>hexadezimal · die IPv6-Adresse</translation>
    </message>
    <message>
        <source>UUID · %1</source>
        <translation>UUID · %1</translation>
    </message>
    <message>
        <source>hexadecimal · the UUID as 128 bits</source>
        <translation>hexadezimal · die UUID als 128 Bit</translation>
    </message>
    <message>
        <source>decimal · the UUID as 128 bits</source>
        <translation>dezimal · die UUID als 128 Bit</translation>
    </message>
</context>
<context>
    <name>SearchService</name>
    <message>
        <source>Open in Bitlens</source>
        <translation>In Bitlens öffnen</translation>
    </message>
</context>
<context>
    <name>SvdRegisterDialog</name>
    <message>
        <source>Peripheral</source>
        <translation>Peripherie</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Choose a Register</source>
        <translation>Register wählen</translation>
    </message>
    <message>
        <source>Filter: peripheral, register or description</source>
        <translation>Filter: Peripherie, Register oder Beschreibung</translation>
    </message>
    <message>
        <source>Register filter</source>
        <translation>Registerfilter</translation>
    </message>
    <message>
        <source>Every word typed must be in the register&apos;s name or description</source>
        <translation>Jedes eingegebene Wort muss im Namen oder in der Beschreibung des Registers stehen</translation>
    </message>
    <message>
        <source>Registers</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>Registers in %1: %2. Choose one:</source>
        <translation>Register in %1: %2. Eines wählen:</translation>
    </message>
</context>
<context>
    <name>WindowTitle</name>
    <message>
        <source>Bitlens — %1</source>
        <comment>the window&apos;s number</comment>
        <translation>Bitlens — %1</translation>
    </message>
</context>
</TS>
