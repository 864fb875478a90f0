<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Tesselo</source>
        <translation>Über Tesselo</translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation>Über &amp;Qt...</translation>
    </message>
    <message>
        <source>&lt;h2&gt;%1 %2&lt;/h2&gt;&lt;p&gt;A photo-collage editor: pick a look and a page, add your photos, and Tesselo lays them out as a scattered pile of prints or a tiled mosaic. Save the collage, export it as an image or print it.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; Quorvane.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Libraries&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Qt %3 &amp;mdash; used under the GNU Lesser General Public License version 3 (LGPLv3). The Qt sources are available from &lt;a href=&quot;https://download.qt.io/&quot;&gt;download.qt.io&lt;/a&gt;.&lt;/p&gt;&lt;p&gt;libjpeg-turbo &amp;mdash; used under the IJG License, the Modified (3-clause) BSD License and the zlib License. This software is based in part on the work of the Independent JPEG Group.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;%1 %2&lt;/h2&gt;&lt;p&gt;Ein Editor für Fotocollagen: Wählen Sie einen Stil und eine Seite, fügen Sie Ihre Fotos hinzu, und Tesselo ordnet sie als verstreuten Stapel von Abzügen oder als gekacheltes Mosaik an. Speichern Sie die Collage, exportieren Sie sie als Bild oder drucken Sie sie.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; Quorvane.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Bibliotheken&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Qt %3 &amp;mdash; verwendet unter der GNU Lesser General Public License Version 3 (LGPLv3). Die Qt-Quellen sind unter &lt;a href=&quot;https://download.qt.io/&quot;&gt;download.qt.io&lt;/a&gt; erhältlich.&lt;/p&gt;&lt;p&gt;libjpeg-turbo &amp;mdash; verwendet unter der IJG License, der Modified (3-clause) BSD License und der zlib License. Diese Software basiert teilweise auf der Arbeit der Independent JPEG Group.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New collage...</source>
        <translation>&amp;Neue Collage...</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation>Über &amp;Qt...</translation>
    </message>
    <message>
        <source>Images (%1);;All files (*.*)</source>
        <translation>Bilder (%1);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Opening project from %1</source>
        <translation>Projekt aus %1 öffnen</translation>
    </message>
    <message>
        <source>Changing theme to %1</source>
        <translation>Design auf %1 umstellen</translation>
    </message>
    <message>
        <source>Photo Drop</source>
        <translation>Photo Drop</translation>
    </message>
    <message>
        <source>Mosaic</source>
        <translation>Mosaik</translation>
    </message>
    <message>
        <source>Quorvane Tesselo Document</source>
        <comment>Windows registered document name</comment>
        <translation>Quorvane Tesselo-Dokument</translation>
    </message>
    <message>
        <source>Rows</source>
        <translation>Reihen</translation>
    </message>
</context>
<context>
    <name>BackgroundControlWidget</name>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Hintergrund</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Farbe:</translation>
    </message>
    <message>
        <source>Colors:</source>
        <translation>Farben:</translation>
    </message>
    <message>
        <source>Direction:</source>
        <translation>Richtung:</translation>
    </message>
    <message>
        <source>Select background image</source>
        <translation>Hintergrundbild auswählen</translation>
    </message>
</context>
<context>
    <name>BackgroundProperties</name>
    <message>
        <source>Changing background gradient angle</source>
        <translation>Verlaufswinkel des Hintergrunds ändern</translation>
    </message>
    <message>
        <source>Changing background color</source>
        <translation>Hintergrundfarbe ändern</translation>
    </message>
    <message>
        <source>Changing background gradient color 1</source>
        <translation>Verlaufsfarbe 1 des Hintergrunds ändern</translation>
    </message>
    <message>
        <source>Changing background gradient color 2</source>
        <translation>Verlaufsfarbe 2 des Hintergrunds ändern</translation>
    </message>
    <message>
        <source>Changing background image</source>
        <translation>Hintergrundbild ändern</translation>
    </message>
</context>
<context>
    <name>ChoiceMenu</name>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Mask</source>
        <translation>Maske</translation>
    </message>
</context>
<context>
    <name>CommandLineExport</name>
    <message>
        <source>nothing to do</source>
        <translation>nichts zu tun</translation>
    </message>
    <message>
        <source>tesselo: skipping %1: %2</source>
        <translation>tesselo: %1 wird übersprungen: %2</translation>
    </message>
    <message>
        <source>unknown template &quot;%1&quot; for the %2 theme (see --list-templates)</source>
        <translation>unbekannte Vorlage &quot;%1&quot; für das Design %2 (siehe --list-templates)</translation>
    </message>
    <message>
        <source>tesselo: skipping %1: not a readable image</source>
        <translation>tesselo: %1 wird übersprungen: kein lesbares Bild</translation>
    </message>
    <message>
        <source>cannot write %1: unknown image format &quot;%2&quot;</source>
        <translation>%1 kann nicht geschrieben werden: unbekanntes Bildformat &quot;%2&quot;</translation>
    </message>
    <message>
        <source>no readable photo</source>
        <translation>kein lesbares Foto</translation>
    </message>
    <message>
        <source>the %1 theme is not available</source>
        <translation>das Design %1 ist nicht verfügbar</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>cannot read the photos of %1</source>
        <translation>die Fotos von %1 können nicht gelesen werden</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>tesselo: missing photo %1</source>
        <translation>tesselo: Foto %1 fehlt</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>Collage (*.tsq)</source>
        <translation>Collage (*.tsq)</translation>
    </message>
    <message>
        <source>Changing page size</source>
        <translation>Seitengröße ändern</translation>
    </message>
    <message>
        <source>Changing theme</source>
        <translation>Design ändern</translation>
    </message>
</context>
<context>
    <name>DocumentFile</name>
    <message>
        <source>Can&apos;t open file %1</source>
        <comment>message box content</comment>
        <translation>Datei %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>File corrupted</source>
        <comment>message box content</comment>
        <translation>Datei beschädigt</translation>
    </message>
    <message>
        <source>Can&apos;t open %1</source>
        <translation>%1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Can&apos;t write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Open file error</source>
        <comment>message box title</comment>
        <translation>Fehler beim Öffnen</translation>
    </message>
    <message>
        <source>Failed to save file</source>
        <comment>message box title</comment>
        <translation>Speichern fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>DocumentWindow</name>
    <message>
        <source>Error in setting Registry values</source>
        <translation>Fehler beim Schreiben in die Registrierung</translation>
    </message>
    <message>
        <source>registration database update failed for key &apos;%s&apos;.</source>
        <translation>die Registrierungsdatenbank konnte für den Schlüssel &apos;%s&apos; nicht aktualisiert werden.</translation>
    </message>
</context>
<context>
    <name>DownloadDialog</name>
    <message>
        <source>Updating %1</source>
        <translation>%1 wird aktualisiert</translation>
    </message>
    <message>
        <source>Exit and install</source>
        <translation>Beenden und installieren</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 MB of %2 MB</source>
        <translation>%1 MB von %2 MB</translation>
    </message>
    <message>
        <source>Downloading update...</source>
        <translation>Aktualisierung wird heruntergeladen...</translation>
    </message>
    <message>
        <source>Ready to install...</source>
        <translation>Bereit zur Installation...</translation>
    </message>
    <message>
        <source>Installing...</source>
        <translation>Wird installiert...</translation>
    </message>
</context>
<context>
    <name>EditStyleSheetDialog</name>
    <message>
        <source>Edit style sheet</source>
        <translation>Stylesheet bearbeiten</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export...</source>
        <translation>Exportieren...</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Qualität:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Scale:</source>
        <translation>Skalierung:</translation>
    </message>
    <message>
        <source>DPI</source>
        <translation>DPI</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Watermark</source>
        <translation>Wasserzeichen</translation>
    </message>
    <message>
        <source>© Your Name</source>
        <translation>© Ihr Name</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>Bottom Right</source>
        <translation>Unten rechts</translation>
    </message>
    <message>
        <source>Bottom Left</source>
        <translation>Unten links</translation>
    </message>
    <message>
        <source>Top Right</source>
        <translation>Oben rechts</translation>
    </message>
    <message>
        <source>Top Left</source>
        <translation>Oben links</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>Position:</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Opacity:</source>
        <translation>Deckkraft:</translation>
    </message>
</context>
<context>
    <name>ExportFlow</name>
    <message>
        <source>Please, wait.</source>
        <translation>Bitte warten.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Size of image is too big</source>
        <extracomment>message box title</extracomment>
        <translation>Bild ist zu groß</translation>
    </message>
    <message>
        <source>Can&apos;t allocate image buffer</source>
        <extracomment>message box content</extracomment>
        <translation>Bildpuffer kann nicht reserviert werden</translation>
    </message>
    <message>
        <source>Save image as</source>
        <extracomment>Export dialog title</extracomment>
        <translation>Bild speichern unter</translation>
    </message>
    <message>
        <source>Image (*.%1)</source>
        <translation>Bild (*.%1)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Export is in progress...</source>
        <translation>Export läuft...</translation>
    </message>
    <message>
        <source>Export failed</source>
        <extracomment>message box title</extracomment>
        <translation>Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>The image could not be saved as %1:
%2</source>
        <extracomment>message box content</extracomment>
        <translation>Das Bild konnte nicht als %1 gespeichert werden:
%2</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Preparing to print...</source>
        <translation>Druck wird vorbereitet...</translation>
    </message>
</context>
<context>
    <name>ExportOptions</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 benötigt einen Wert</translation>
    </message>
    <message>
        <source>unknown watermark position &quot;%1&quot; (use %2)</source>
        <translation>unbekannte Wasserzeichenposition &quot;%1&quot; (gültig: %2)</translation>
    </message>
    <message>
        <source>--seed must be a whole number, not &quot;%1&quot;</source>
        <translation>--seed muss eine ganze Zahl sein, nicht &quot;%1&quot;</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>--export needs an output file name</source>
        <translation>--export benötigt einen Namen für die Ausgabedatei</translation>
    </message>
    <message>
        <source>give either one collage (.tsq) or photos, not both</source>
        <translation>entweder eine Collage (.tsq) oder Fotos angeben, nicht beides</translation>
    </message>
    <message>
        <source>--save needs photos, not a collage</source>
        <translation>--save benötigt Fotos, keine Collage</translation>
    </message>
    <message>
        <source>unknown page &quot;%1&quot; (use a preset name or WxH with px, in or cm)</source>
        <translation>unbekannte Seite &quot;%1&quot; (Name einer Vorgabe oder WxH mit px, in oder cm angeben)</translation>
    </message>
    <message>
        <source>--dpi applies to pages in inches or centimetres only</source>
        <translation>--dpi gilt nur für Seiten in Zoll oder Zentimetern</translation>
    </message>
    <message>
        <source>the output of %1 x %2 pixels is too large</source>
        <translation>die Ausgabe mit %1 x %2 Pixeln ist zu groß</translation>
    </message>
    <message>
        <source>%1 must be a whole number from 1 to %2, not &quot;%3&quot;</source>
        <translation>%1 muss eine ganze Zahl von 1 bis %2 sein, nicht &quot;%3&quot;</translation>
    </message>
    <message>
        <source>--dpi must be a number from %1 to %2, not &quot;%3&quot;</source>
        <translation>--dpi muss eine Zahl von %1 bis %2 sein, nicht &quot;%3&quot;</translation>
    </message>
    <message>
        <source>--watermark-opacity must be a whole number from %1 to 100, not &quot;%2&quot;</source>
        <translation>--watermark-opacity muss eine ganze Zahl von %1 bis 100 sein, nicht &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--quality must be a whole number from 1 to 100, not &quot;%1&quot;</source>
        <translation>--quality muss eine ganze Zahl von 1 bis 100 sein, nicht &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--thumbnail needs a collage and an output file</source>
        <translation>--thumbnail benötigt eine Collage und eine Ausgabedatei</translation>
    </message>
    <message>
        <source>--size must be a whole number from 1 to %1, not &quot;%2&quot;</source>
        <translation>--size muss eine ganze Zahl von 1 bis %1 sein, nicht &quot;%2&quot;</translation>
    </message>
    <message>
        <source>unknown theme &quot;%1&quot; (use mosaic, photodrop or rows)</source>
        <translation>unbekanntes Design &quot;%1&quot; (mosaic, photodrop oder rows verwenden)</translation>
    </message>
    <message>
        <source>Usage: tesselo [COLLAGE.tsq ...]
       tesselo --export OUT [options] [PHOTO ...]
       tesselo --export OUT [options] COLLAGE.tsq
       tesselo --list-templates
       tesselo --thumbnail COLLAGE.tsq OUT.png [--size N]

Makes a collage of the photos without opening a window and writes it to OUT
in the format its suffix names (png, jpg, webp, pdf, ...). Without photos the
bundled sample pictures are used.

Options:
  --theme photodrop|mosaic|rows
                             layout theme (default: mosaic); rows keeps every
                             photo nearly whole
  --template NAME            a template of the library, see --list-templates
                             (default: the theme&apos;s own look)
  --page NAME|WxH[px|in|cm]  page preset or size (default: &quot;Instagram Post&quot;)
  --width W, --height H      output size in pixels; one of them keeps the
                             page&apos;s proportions
  --dpi D                    resolution of inch and centimetre pages
                             (default: 300)
  --watermark TEXT           write TEXT over the collage
  --watermark-position P     center, bottom-right (default), bottom-left,
                             top-right or top-left
  --watermark-opacity N      5 to 100 percent (default: 50)
  --quality N                JPEG and WebP quality, 1 to 100 (default: 92)
  --seed N                   reproduce a layout exactly
  --save DOC.tsq             also save the collage as a document the editor
                             opens
  --report                   print each photo&apos;s file, its area on the output
                             (x, y, width, height in pixels) and the fraction
                             of it that stays visible, tab-separated, then
                             min_visible_fraction and mean_visible_fraction
  --list-templates           print the template library
  --thumbnail IN OUT         draw a PNG thumbnail of a saved collage, at most
                             --size N pixels on its long side (default: 256)
  --help, --version
</source>
        <translation>Aufruf: tesselo [COLLAGE.tsq ...]
        tesselo --export OUT [Optionen] [PHOTO ...]
        tesselo --export OUT [Optionen] COLLAGE.tsq
        tesselo --list-templates
        tesselo --thumbnail COLLAGE.tsq OUT.png [--size N]

Erstellt ohne Fenster eine Collage aus den Fotos und schreibt sie nach OUT,
im Format, das die Dateiendung angibt (png, jpg, webp, pdf, ...). Ohne Fotos
werden die mitgelieferten Beispielbilder verwendet.

Optionen:
  --theme photodrop|mosaic|rows
                             Design des Layouts (Standard: mosaic); rows zeigt
                             jedes Foto fast vollständig
  --template NAME            eine Vorlage der Sammlung, siehe --list-templates
                             (Standard: der Grundstil des Designs)
  --page NAME|WxH[px|in|cm]  Seitenvorgabe oder -größe
                             (Standard: &quot;Instagram Post&quot;)
  --width W, --height H      Ausgabegröße in Pixeln; ist nur eine angegeben,
                             bleibt das Seitenverhältnis erhalten
  --dpi D                    Auflösung von Seiten in Zoll und Zentimetern
                             (Standard: 300)
  --watermark TEXT           TEXT auf die Collage schreiben
  --watermark-position P     center, bottom-right (Standard), bottom-left,
                             top-right oder top-left
  --watermark-opacity N      5 bis 100 Prozent (Standard: 50)
  --quality N                JPEG- und WebP-Qualität, 1 bis 100 (Standard: 92)
  --seed N                   ein Layout exakt reproduzieren
  --save DOC.tsq             die Collage zusätzlich als Dokument speichern,
                             das der Editor öffnen kann
  --report                   für jedes Foto die Datei, seinen Bereich in der
                             Ausgabe (x, y, Breite, Höhe in Pixeln) und den
                             sichtbar bleibenden Anteil ausgeben, durch Tabs
                             getrennt, danach min_visible_fraction und
                             mean_visible_fraction
  --list-templates           die Vorlagensammlung ausgeben
  --thumbnail IN OUT         ein PNG-Vorschaubild einer gespeicherten Collage
                             zeichnen, höchstens --size N Pixel an der langen
                             Seite (Standard: 256)
  --help, --version
</translation>
    </message>
</context>
<context>
    <name>FrameControlWidget</name>
    <message>
        <source>Enable frames</source>
        <translation>Rahmen aktivieren</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>Rahmen</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Farbe:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
</context>
<context>
    <name>FrameProperties</name>
    <message>
        <source>Changing frame size</source>
        <translation>Rahmengröße ändern</translation>
    </message>
    <message>
        <source>Changing frame color</source>
        <translation>Rahmenfarbe ändern</translation>
    </message>
    <message>
        <source>Enabling frames</source>
        <translation>Rahmen aktivieren</translation>
    </message>
    <message>
        <source>Disabling frames</source>
        <translation>Rahmen deaktivieren</translation>
    </message>
</context>
<context>
    <name>FutureProgressDialog</name>
    <message>
        <source>Reading files...</source>
        <translation>Dateien werden gelesen...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ImageFilters</name>
    <message>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
    <message>
        <source>Grayscale</source>
        <translation>Graustufen</translation>
    </message>
    <message>
        <source>Sepia</source>
        <translation>Sepia</translation>
    </message>
    <message>
        <source>Warm</source>
        <translation>Warm</translation>
    </message>
    <message>
        <source>Cool</source>
        <translation>Kühl</translation>
    </message>
    <message>
        <source>High Contrast</source>
        <translation>Hoher Kontrast</translation>
    </message>
</context>
<context>
    <name>ImageList</name>
    <message numerus="yes">
        <source>Removing %n images</source>
        <translation>
            <numerusform>%n Bild entfernen</numerusform>
            <numerusform>%n Bilder entfernen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Inserting %n images</source>
        <translation>
            <numerusform>%n Bild einfügen</numerusform>
            <numerusform>%n Bilder einfügen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reordering %n images</source>
        <translation>
            <numerusform>%n Bild neu anordnen</numerusform>
            <numerusform>%n Bilder neu anordnen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Rotating %n images</source>
        <translation>
            <numerusform>%n Bild drehen</numerusform>
            <numerusform>%n Bilder drehen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ImageSource</name>
    <message>
        <source>Rotating image</source>
        <translation>Bild drehen</translation>
    </message>
    <message>
        <source>Changing image source address</source>
        <translation>Bildquelle ändern</translation>
    </message>
</context>
<context>
    <name>ItemTransformUndoCommand</name>
    <message>
        <source>object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <source>Scaling %1</source>
        <translation>%1 skalieren</translation>
    </message>
    <message>
        <source>Moving %1</source>
        <translation>%1 verschieben</translation>
    </message>
    <message>
        <source>Rotating %1</source>
        <translation>%1 drehen</translation>
    </message>
    <message>
        <source>Changing %1</source>
        <translation>%1 ändern</translation>
    </message>
</context>
<context>
    <name>JpegWriter</name>
    <message>
        <source>The rows do not fit the picture.</source>
        <translation>Die Zeilen passen nicht zum Bild.</translation>
    </message>
    <message>
        <source>The picture was not written whole.</source>
        <translation>Das Bild wurde nicht vollständig geschrieben.</translation>
    </message>
    <message>
        <source>The JPEG file could not be written.</source>
        <translation>Die JPEG-Datei konnte nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Images</source>
        <comment>tab panel</comment>
        <translation>Fotos</translation>
    </message>
    <message>
        <source>Theme</source>
        <comment>tab panel</comment>
        <translation>Design</translation>
    </message>
    <message>
        <source>Add &amp;Text</source>
        <translation>&amp;Text hinzufügen</translation>
    </message>
    <message>
        <source>Add &amp;Sticker</source>
        <translation>&amp;Sticker hinzufügen</translation>
    </message>
    <message>
        <source>Untitled[*]</source>
        <translation>Unbenannt[*]</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Seite</translation>
    </message>
    <message>
        <source>Photos</source>
        <translation>Fotos</translation>
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
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation>&amp;Neu...</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Ex&amp;port...</source>
        <translation>E&amp;xportieren...</translation>
    </message>
    <message>
        <source>Save as image</source>
        <translation>Als Bild speichern</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Page setup...</source>
        <translation>Seite einrichten...</translation>
    </message>
    <message>
        <source>Change theme...</source>
        <translation>Design ändern...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Show &amp;welcome screen...</source>
        <translation>&amp;Willkommensfenster anzeigen...</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Fit Page</source>
        <translation>Seite &amp;einpassen</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation>Über &amp;Qt...</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Add photo</source>
        <translation>Foto hinzufügen</translation>
    </message>
    <message>
        <source>Remove photo</source>
        <translation>Foto entfernen</translation>
    </message>
    <message>
        <source>Rotate left</source>
        <translation>Nach links drehen</translation>
    </message>
    <message>
        <source>Rotates image 90° counterclockwise</source>
        <translation>Dreht das Foto um 90° gegen den Uhrzeigersinn</translation>
    </message>
    <message>
        <source>Rotate right</source>
        <translation>Nach rechts drehen</translation>
    </message>
    <message>
        <source>Rotates image 90° clockwise</source>
        <translation>Dreht das Foto um 90° im Uhrzeigersinn</translation>
    </message>
    <message>
        <source>Select images</source>
        <comment>dialog title</comment>
        <translation>Fotos auswählen</translation>
    </message>
    <message>
        <source>Save collage as</source>
        <comment>Dialog title</comment>
        <translation>Collage speichern unter</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>This file is already opened.
Please select other file or close opened version.</source>
        <translation>Diese Datei ist bereits geöffnet.
Bitte wählen Sie eine andere Datei oder schließen Sie die geöffnete Version.</translation>
    </message>
    <message>
        <source>Changing theme</source>
        <translation>Design ändern</translation>
    </message>
    <message>
        <source>Stickers</source>
        <translation>Sticker</translation>
    </message>
    <message>
        <source>No stickers available. Add SVG or PNG files to the stickers resource folder.</source>
        <translation>Keine Sticker verfügbar. Fügen Sie SVG- oder PNG-Dateien zum Sticker-Ressourcenordner hinzu.</translation>
    </message>
    <message>
        <source>Add Sticker</source>
        <translation>Sticker hinzufügen</translation>
    </message>
    <message>
        <source>Select sticker:</source>
        <translation>Sticker auswählen:</translation>
    </message>
    <message>
        <source>Do you want to save the changes you made in this document?</source>
        <translation>Möchten Sie die Änderungen an diesem Dokument speichern?</translation>
    </message>
    <message>
        <source>Do you want to save the changes you made in the document &quot;%1&quot; ?</source>
        <translation>Möchten Sie die Änderungen am Dokument „%1“ speichern?</translation>
    </message>
    <message>
        <source>Document not saved</source>
        <comment>message box title</comment>
        <translation>Dokument nicht gespeichert</translation>
    </message>
    <message>
        <source>Your changes will be lost if you don&apos;t save them.</source>
        <translation>Ihre Änderungen gehen verloren, wenn Sie sie nicht speichern.</translation>
    </message>
</context>
<context>
    <name>MissingPhotos</name>
    <message numerus="yes">
        <source>Locating %n photos</source>
        <translation>
            <numerusform>%n Foto suchen</numerusform>
            <numerusform>%n Fotos suchen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MissingPhotosDialog</name>
    <message>
        <source>Locate...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Missing photos</source>
        <comment>dialog title</comment>
        <translation>Fehlende Fotos</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>Foto</translation>
    </message>
    <message>
        <source>Last known location</source>
        <translation>Letzter bekannter Ort</translation>
    </message>
    <message>
        <source>Missing photos</source>
        <translation>Fehlende Fotos</translation>
    </message>
    <message>
        <source>Choose a folder to search for the missing photos</source>
        <translation>Ordner für die Suche nach den fehlenden Fotos wählen</translation>
    </message>
    <message>
        <source>One photo of this collage cannot be found. Its place stays empty until you locate it.</source>
        <translation>Ein Foto dieser Collage ist nicht auffindbar. Sein Platz bleibt leer, bis Sie es gefunden haben.</translation>
    </message>
    <message numerus="yes">
        <source>%n photos of this collage cannot be found. Their places stay empty until you locate them.</source>
        <translation>
            <numerusform>%n Foto dieser Collage ist nicht auffindbar. Sein Platz bleibt leer, bis Sie es gefunden haben.</numerusform>
            <numerusform>%n Fotos dieser Collage sind nicht auffindbar. Ihre Plätze bleiben leer, bis Sie sie gefunden haben.</numerusform>
        </translation>
    </message>
    <message>
        <source>Locate missing photos</source>
        <comment>dialog title</comment>
        <translation>Fehlende Fotos suchen</translation>
    </message>
    <message>
        <source>None of the missing photos is in %1.</source>
        <translation>Keines der fehlenden Fotos befindet sich in %1.</translation>
    </message>
    <message>
        <source>One photo was found in %1.</source>
        <translation>Ein Foto wurde in %1 gefunden.</translation>
    </message>
    <message numerus="yes">
        <source>%n photos were found in %1.</source>
        <translation>
            <numerusform>%n Foto wurde in %1 gefunden.</numerusform>
            <numerusform>%n Fotos wurden in %1 gefunden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PageExport</name>
    <message>
        <source>Can&apos;t allocate image buffer</source>
        <translation>Bildpuffer kann nicht reserviert werden</translation>
    </message>
    <message>
        <source>The format &quot;%1&quot; cannot be written.</source>
        <translation>Das Format &quot;%1&quot; kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The PDF file could not be started.</source>
        <translation>Die PDF-Datei konnte nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>PageSetupDialog</name>
    <message>
        <source>Pixels</source>
        <translation>Pixel</translation>
    </message>
    <message>
        <source>Inches</source>
        <translation>Zoll</translation>
    </message>
    <message>
        <source>Centimeters</source>
        <translation>Zentimeter</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
    </message>
    <message>
        <source> in</source>
        <translation> Zoll</translation>
    </message>
    <message>
        <source> cm</source>
        <translation> cm</translation>
    </message>
    <message>
        <source>Page setup</source>
        <translation>Seite einrichten</translation>
    </message>
    <message>
        <source> dpi</source>
        <translation> dpi</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Hochformat</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Querformat</translation>
    </message>
    <message>
        <source>Save for quick access</source>
        <translation>Für Schnellzugriff speichern</translation>
    </message>
    <message>
        <source>Orientation:</source>
        <translation>Ausrichtung:</translation>
    </message>
    <message>
        <source>Units:</source>
        <translation>Einheiten:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Preset name:</source>
        <translation>Vorgabenname:</translation>
    </message>
</context>
<context>
    <name>PageSize</name>
    <message>
        <source>px</source>
        <translation>px</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>cm</translation>
    </message>
    <message>
        <source>%1 Square</source>
        <translation>%1 quadratisch</translation>
    </message>
</context>
<context>
    <name>PageSizeModel</name>
    <message>
        <source>Instagram Post</source>
        <translation>Instagram-Post</translation>
    </message>
    <message>
        <source>Instagram Portrait</source>
        <translation>Instagram Hochformat</translation>
    </message>
    <message>
        <source>Instagram Story / Reels</source>
        <translation>Instagram Story / Reels</translation>
    </message>
    <message>
        <source>Facebook Post</source>
        <translation>Facebook-Post</translation>
    </message>
    <message>
        <source>Facebook Cover</source>
        <translation>Facebook-Titelbild</translation>
    </message>
    <message>
        <source>X / Twitter Post</source>
        <translation>X / Twitter-Post</translation>
    </message>
    <message>
        <source>X / Twitter Header</source>
        <translation>X / Twitter-Header</translation>
    </message>
    <message>
        <source>Pinterest Pin</source>
        <translation>Pinterest-Pin</translation>
    </message>
    <message>
        <source>YouTube Thumbnail</source>
        <translation>YouTube-Thumbnail</translation>
    </message>
    <message>
        <source>Full HD (1080p)</source>
        <translation>Full HD (1080p)</translation>
    </message>
    <message>
        <source>iPhone Retina Screen</source>
        <translation>iPhone-Retina-Bildschirm</translation>
    </message>
    <message>
        <source>iPad Retina Screen</source>
        <translation>iPad-Retina-Bildschirm</translation>
    </message>
    <message>
        <source>iPhone Screen</source>
        <translation>iPhone-Bildschirm</translation>
    </message>
    <message>
        <source>iPad Screen</source>
        <translation>iPad-Bildschirm</translation>
    </message>
    <message>
        <source>2&quot; x 3&quot; Wallet (Small)</source>
        <translation>2&quot; x 3&quot; Geldbörsenformat (klein)</translation>
    </message>
    <message>
        <source>2.5&quot; x 3.5&quot; Wallet</source>
        <translation>2,5&quot; x 3,5&quot; Geldbörsenformat</translation>
    </message>
    <message>
        <source>4&quot; x 6&quot; Postcard</source>
        <translation>4&quot; x 6&quot; Postkarte</translation>
    </message>
    <message>
        <source>20&quot; x 30&quot; Poster</source>
        <translation>20&quot; x 30&quot; Poster</translation>
    </message>
    <message>
        <source>Custom page...</source>
        <translation>Eigene Seitengröße...</translation>
    </message>
    <message>
        <source>Custom (%1) ...</source>
        <translation>Eigene (%1) ...</translation>
    </message>
</context>
<context>
    <name>PhotoDropSceneItem</name>
    <message>
        <source>Bring to Front</source>
        <translation>In den Vordergrund</translation>
    </message>
    <message>
        <source>Bring Forward</source>
        <translation>Eine Ebene nach vorne</translation>
    </message>
    <message>
        <source>Send Backward</source>
        <translation>Eine Ebene nach hinten</translation>
    </message>
    <message>
        <source>Send to Back</source>
        <translation>In den Hintergrund</translation>
    </message>
</context>
<context>
    <name>PhotoDropTheme</name>
    <message>
        <source>Randomizing</source>
        <translation>Zufällig anordnen</translation>
    </message>
    <message>
        <source>Bringing to Front</source>
        <translation>In den Vordergrund bringen</translation>
    </message>
    <message>
        <source>Bringing Forward</source>
        <translation>Eine Ebene nach vorne bringen</translation>
    </message>
    <message>
        <source>Sending Backward</source>
        <translation>Eine Ebene nach hinten stellen</translation>
    </message>
    <message>
        <source>Sending to Back</source>
        <translation>In den Hintergrund stellen</translation>
    </message>
</context>
<context>
    <name>PhotoDropThemeArrangeCommand</name>
    <message>
        <source>Arranging items</source>
        <translation>Elemente anordnen</translation>
    </message>
</context>
<context>
    <name>PhotoDropThemePropertiesWidget</name>
    <message>
        <source>Arrange</source>
        <translation>Anordnen</translation>
    </message>
    <message>
        <source>Randomize</source>
        <translation>Zufällig anordnen</translation>
    </message>
</context>
<context>
    <name>PhotoGridTheme</name>
    <message>
        <source>Changing spacing</source>
        <translation>Abstand ändern</translation>
    </message>
    <message>
        <source>Changing minimum image size</source>
        <translation>Minimale Fotogröße ändern</translation>
    </message>
    <message>
        <source>Rearrange</source>
        <translation>Neu anordnen</translation>
    </message>
    <message>
        <source>Exchanging images</source>
        <translation>Fotos tauschen</translation>
    </message>
    <message>
        <source>Placing image</source>
        <translation>Foto platzieren</translation>
    </message>
</context>
<context>
    <name>PhotoGrigControlWidget</name>
    <message>
        <source>Rearrange</source>
        <translation>Neu anordnen</translation>
    </message>
    <message>
        <source>Arrange</source>
        <translation>Anordnen</translation>
    </message>
    <message>
        <source>Spacing:</source>
        <translation>Abstand:</translation>
    </message>
</context>
<context>
    <name>PhotoLookProperties</name>
    <message>
        <source>Change filter</source>
        <translation>Filter ändern</translation>
    </message>
    <message>
        <source>Change mask</source>
        <translation>Maske ändern</translation>
    </message>
</context>
<context>
    <name>PhotoMasks</name>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>Kreis</translation>
    </message>
    <message>
        <source>Heart</source>
        <translation>Herz</translation>
    </message>
    <message>
        <source>Star</source>
        <translation>Stern</translation>
    </message>
    <message>
        <source>Diamond</source>
        <translation>Raute</translation>
    </message>
    <message>
        <source>Hexagon</source>
        <translation>Sechseck</translation>
    </message>
</context>
<context>
    <name>PngWriter</name>
    <message>
        <source>There is no picture to write.</source>
        <translation>Es gibt kein Bild zum Schreiben.</translation>
    </message>
    <message>
        <source>The picture could not be compressed.</source>
        <translation>Das Bild konnte nicht komprimiert werden.</translation>
    </message>
</context>
<context>
    <name>RecentsMenu</name>
    <message>
        <source>Open &amp;recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Clear menu</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>%1 (file not found)</source>
        <translation>%1 (Datei nicht gefunden)</translation>
    </message>
</context>
<context>
    <name>RecoveryManager</name>
    <message>
        <source>a new collage</source>
        <translation>eine neue Collage</translation>
    </message>
    <message>
        <source>Recover collage</source>
        <comment>message box title</comment>
        <translation>Collage wiederherstellen</translation>
    </message>
    <message>
        <source>Tesselo did not close properly. Unsaved changes to %1 were kept on %2.</source>
        <comment>message box content</comment>
        <translation>Tesselo wurde nicht ordnungsgemäß beendet. Nicht gespeicherte Änderungen für %1 wurden am %2 gesichert.</translation>
    </message>
    <message>
        <source>Recover opens them as unsaved changes; Discard deletes them.</source>
        <translation>„Wiederherstellen“ öffnet sie als nicht gespeicherte Änderungen, „Verwerfen“ löscht sie.</translation>
    </message>
    <message>
        <source>Recover</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
</context>
<context>
    <name>RowsTheme</name>
    <message>
        <source>Rearrange</source>
        <translation>Neu anordnen</translation>
    </message>
    <message>
        <source>Exchanging images</source>
        <translation>Fotos tauschen</translation>
    </message>
    <message>
        <source>Placing image</source>
        <translation>Foto platzieren</translation>
    </message>
</context>
<context>
    <name>ShadowControlWidget</name>
    <message>
        <source>Enable shadows</source>
        <translation>Schatten aktivieren</translation>
    </message>
    <message>
        <source>Single shadow</source>
        <translation>Einzelschatten</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Schatten</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Farbe:</translation>
    </message>
    <message>
        <source>Angle:</source>
        <translation>Winkel:</translation>
    </message>
    <message>
        <source>Distance:</source>
        <translation>Abstand:</translation>
    </message>
    <message>
        <source>Blur radius:</source>
        <translation>Unschärferadius:</translation>
    </message>
</context>
<context>
    <name>ShadowProperties</name>
    <message>
        <source>Enabling shadows</source>
        <translation>Schatten aktivieren</translation>
    </message>
    <message>
        <source>Disabling shadows</source>
        <translation>Schatten deaktivieren</translation>
    </message>
    <message>
        <source>Changing shadow blur radius</source>
        <translation>Unschärferadius des Schattens ändern</translation>
    </message>
    <message>
        <source>Changing shadow color</source>
        <translation>Schattenfarbe ändern</translation>
    </message>
    <message>
        <source>Changing shadow angle</source>
        <translation>Schattenwinkel ändern</translation>
    </message>
    <message>
        <source>Changing shadow distance</source>
        <translation>Schattenabstand ändern</translation>
    </message>
    <message>
        <source>Changing single shadow</source>
        <translation>Einzelschatten ändern</translation>
    </message>
</context>
<context>
    <name>StickerItem</name>
    <message>
        <source>Rotate sticker</source>
        <translation>Sticker drehen</translation>
    </message>
</context>
<context>
    <name>StickerProperties</name>
    <message>
        <source>Change sticker</source>
        <translation>Sticker ändern</translation>
    </message>
    <message>
        <source>Move sticker</source>
        <translation>Sticker verschieben</translation>
    </message>
    <message>
        <source>Rotate sticker</source>
        <translation>Sticker drehen</translation>
    </message>
    <message>
        <source>Scale sticker</source>
        <translation>Sticker skalieren</translation>
    </message>
    <message>
        <source>Change sticker opacity</source>
        <translation>Sticker-Deckkraft ändern</translation>
    </message>
</context>
<context>
    <name>TemplatesDialog</name>
    <message>
        <source>Select theme to create collage</source>
        <translation>Design für die neue Collage wählen</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Hochformat</translation>
    </message>
    <message>
        <source>Landscape</source>
        <translation>Querformat</translation>
    </message>
    <message>
        <source>Preview size</source>
        <translation>Vorschaugröße</translation>
    </message>
    <message>
        <source>Templates</source>
        <translation>Vorlagen</translation>
    </message>
    <message>
        <source>Generating previews… %v / %m</source>
        <translation>Vorschauen werden erstellt… %v / %m</translation>
    </message>
    <message>
        <source>Page size:</source>
        <translation>Seitengröße:</translation>
    </message>
</context>
<context>
    <name>TextOverlayItem</name>
    <message>
        <source>Rotate text</source>
        <translation>Text drehen</translation>
    </message>
    <message>
        <source>Edit Text</source>
        <translation>Text bearbeiten</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Text:</translation>
    </message>
</context>
<context>
    <name>TextOverlayProperties</name>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Change text</source>
        <translation>Text ändern</translation>
    </message>
    <message>
        <source>Change font</source>
        <translation>Schriftart ändern</translation>
    </message>
    <message>
        <source>Change text color</source>
        <translation>Textfarbe ändern</translation>
    </message>
    <message>
        <source>Move text</source>
        <translation>Text verschieben</translation>
    </message>
    <message>
        <source>Rotate text</source>
        <translation>Text drehen</translation>
    </message>
    <message>
        <source>Scale text</source>
        <translation>Text skalieren</translation>
    </message>
    <message>
        <source>Change text opacity</source>
        <translation>Text-Deckkraft ändern</translation>
    </message>
    <message>
        <source>Change text alignment</source>
        <translation>Textausrichtung ändern</translation>
    </message>
</context>
<context>
    <name>Theme</name>
    <message>
        <source>Reseting layout</source>
        <translation>Layout zurücksetzen</translation>
    </message>
</context>
<context>
    <name>ThumbnailExport</name>
    <message>
        <source>the thumbnail size must be at least one pixel</source>
        <translation>die Größe des Vorschaubilds muss mindestens ein Pixel betragen</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>cannot open %1: the page has no size</source>
        <translation>%1 kann nicht geöffnet werden: die Seite hat keine Größe</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>UpdateChecker</name>
    <message>
        <source>%1 kB</source>
        <translation>%1 kB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>Download update</source>
        <comment>Action text</comment>
        <translation>Aktualisierung herunterladen</translation>
    </message>
    <message>
        <source>Cancel downloading</source>
        <translation>Herunterladen abbrechen</translation>
    </message>
    <message>
        <source>Exit and install update</source>
        <translation>Beenden und Aktualisierung installieren</translation>
    </message>
    <message>
        <source>the server stopped answering</source>
        <translation>der Server antwortet nicht mehr</translation>
    </message>
    <message>
        <source>too many redirects</source>
        <translation>zu viele Weiterleitungen</translation>
    </message>
    <message>
        <source>refused redirect to %1</source>
        <translation>Weiterleitung zu %1 abgelehnt</translation>
    </message>
    <message>
        <source>the server took too long</source>
        <translation>der Server hat zu lange gebraucht</translation>
    </message>
    <message>
        <source>the answer is too large</source>
        <translation>die Antwort ist zu groß</translation>
    </message>
    <message>
        <source>Failed to parse version information data.</source>
        <comment>Updater error message</comment>
        <translation>Die Versionsinformationen konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Can&apos;t check for update: %1</source>
        <translation>Suche nach Aktualisierungen nicht möglich: %1</translation>
    </message>
    <message>
        <source>Can&apos;t open file: %1</source>
        <translation>Datei kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>the server sent more than it announced</source>
        <translation>der Server hat mehr gesendet als angekündigt</translation>
    </message>
    <message>
        <source>Can&apos;t get update: %1</source>
        <translation>Aktualisierung kann nicht abgerufen werden: %1</translation>
    </message>
    <message>
        <source>the server sent an empty file</source>
        <translation>der Server hat eine leere Datei gesendet</translation>
    </message>
    <message>
        <source>the file is damaged (its checksum does not match)</source>
        <translation>die Datei ist beschädigt (die Prüfsumme stimmt nicht)</translation>
    </message>
    <message>
        <source>Can&apos;t install update</source>
        <comment>Updater error message</comment>
        <translation>Aktualisierung kann nicht installiert werden</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>Update available!</source>
        <translation>Aktualisierung verfügbar!</translation>
    </message>
    <message>
        <source>A new version of &lt;b&gt;%appName&lt;/b&gt; is available!</source>
        <translation>Eine neue Version von &lt;b&gt;%appName&lt;/b&gt; ist verfügbar!</translation>
    </message>
    <message>
        <source>%appName &lt;b&gt;%newVersion&lt;/b&gt; is available - you have &lt;b&gt;%oldVersion&lt;/b&gt;. Would you like to download it now?</source>
        <translation>%appName &lt;b&gt;%newVersion&lt;/b&gt; ist verfügbar – Sie haben &lt;b&gt;%oldVersion&lt;/b&gt;. Möchten Sie die neue Version jetzt herunterladen?</translation>
    </message>
    <message>
        <source>Your version was released more than &lt;b&gt;%releasePeriod&lt;/b&gt; ago.</source>
        <translation>Ihre Version wurde vor mehr als &lt;b&gt;%releasePeriod&lt;/b&gt; veröffentlicht.</translation>
    </message>
    <message>
        <source>Since then, &lt;b&gt;%numUpdates&lt;/b&gt; versions have been released.</source>
        <translation>Seitdem sind &lt;b&gt;%numUpdates&lt;/b&gt; Versionen erschienen.</translation>
    </message>
    <message>
        <source>Release notes:</source>
        <translation>Versionshinweise:</translation>
    </message>
    <message>
        <source>Skip this version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message>
        <source>Remind later</source>
        <translation>Später erinnern</translation>
    </message>
    <message>
        <source>Install update</source>
        <translation>Aktualisierung installieren</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>UpdateInfoDialog</name>
    <message>
        <source>Update</source>
        <comment>noun, title of dialog about &apos;checking for updates&apos;</comment>
        <translation>Aktualisierung</translation>
    </message>
    <message>
        <source>Checking for update...</source>
        <translation>Suche nach Aktualisierungen...</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Failed to update</source>
        <translation>Aktualisierung fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>WelcomeDialog</name>
    <message>
        <source>Welcome!</source>
        <translation>Willkommen!</translation>
    </message>
    <message>
        <source>Welcome to Tesselo!</source>
        <translation>Willkommen bei Tesselo!</translation>
    </message>
    <message>
        <source>(Version %1)</source>
        <translation>(Version %1)</translation>
    </message>
    <message>
        <source>New collage</source>
        <translation>Neue Collage</translation>
    </message>
    <message>
        <source>Create new collage project from template library</source>
        <translation>Neues Collage-Projekt aus der Vorlagensammlung anlegen</translation>
    </message>
    <message>
        <source>Open collage</source>
        <translation>Collage öffnen</translation>
    </message>
    <message>
        <source>Start editing existing collage</source>
        <translation>Eine vorhandene Collage weiterbearbeiten</translation>
    </message>
    <message>
        <source>Go to Quorvane</source>
        <translation>Zu Quorvane</translation>
    </message>
    <message>
        <source>Visit developer&apos;s website</source>
        <translation>Die Website der Entwickler besuchen</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Recents</source>
        <translation>Zuletzt verwendet</translation>
    </message>
    <message>
        <source>Show this window when Tesselo launches</source>
        <translation>Dieses Fenster beim Start von Tesselo zeigen</translation>
    </message>
    <message>
        <source>Tesselo</source>
        <translation>Tesselo</translation>
    </message>
    <message>
        <source>%1 (file not found)</source>
        <translation>%1 (Datei nicht gefunden)</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatisch</translation>
    </message>
</context>
</TS>
