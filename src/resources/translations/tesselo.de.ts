<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Tesselo</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&lt;h2&gt;%1 %2&lt;/h2&gt;&lt;p&gt;A photo-collage editor: pick a look and a page, add your photos, and Tesselo lays them out as a scattered pile of prints or a tiled mosaic. Save the collage, export it as an image or print it.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; Quorvane.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Libraries&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Qt %3 &amp;mdash; used under the GNU Lesser General Public License version 3 (LGPLv3). The Qt sources are available from &lt;a href="https://download.qt.io/"&gt;download.qt.io&lt;/a&gt;.&lt;/p&gt;&lt;p&gt;libjpeg-turbo &amp;mdash; used under the IJG License, the Modified (3-clause) BSD License and the zlib License. This software is based in part on the work of the Independent JPEG Group.&lt;/p&gt;</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;New collage...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;About...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Images (%1);;All files (*.*)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Open file</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Opening project from %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing theme to %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Photo Drop</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mosaic</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>BackgroundControlWidget</name>
    <message>
        <source>Browse...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Background</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Color:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Colors:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Direction:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Select background image</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>BackgroundProperties</name>
    <message>
        <source>Changing background gradient angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing background color</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing background gradient color 1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing background gradient color 2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing background image</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ChoiceMenu</name>
    <message>
        <source>Filter</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Mask</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>CommandLineExport</name>
    <message>
        <source>nothing to do</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>tesselo: skipping %1: %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>unknown template "%1" for the %2 theme (see --list-templates)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>tesselo: skipping %1: not a readable image</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>cannot write %1: unknown image format "%2"</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>no readable photo</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the %1 theme is not available</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>cannot read the photos of %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>cannot allocate an image of %1 x %2 pixels</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>Collage (*.tsq)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing page size</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing theme</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>DocumentFile</name>
    <message>
        <source>Can't open file %1</source>
        <comment>message box content</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>File corrupted</source>
        <comment>message box content</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Can't open %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Can't write %1: %2</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Open file error</source>
        <comment>message box title</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Failed to save file</source>
        <comment>message box title</comment>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>EditStyleSheetDialog</name>
    <message>
        <source>Edit style sheet</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ExportOptions</name>
    <message>
        <source>%1 needs a value</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 must be a whole number from 1 to 100000, not "%2"</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--dpi must be a number from 1 to 10000, not "%1"</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>unknown watermark position "%1" (use %2)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--watermark-opacity must be a whole number from 5 to 100, not "%1"</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--seed must be a whole number, not "%1"</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>unknown option %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--export needs an output file name</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>give either one collage (.tsq) or photos, not both</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--save needs photos, not a collage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>unknown theme "%1" (use mosaic or photodrop)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>unknown page "%1" (use a preset name or WxH with px, in or cm)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>--dpi applies to pages in inches or centimetres only</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>the output of %1 x %2 pixels is too large</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Usage: tesselo [COLLAGE.tsq ...]
       tesselo --export OUT [options] [PHOTO ...]
       tesselo --export OUT [options] COLLAGE.tsq
       tesselo --list-templates

Makes a collage of the photos without opening a window and writes it to OUT
in the format its suffix names (png, jpg, webp, ...). Without photos the
bundled sample pictures are used.

Options:
  --theme photodrop|mosaic   layout theme (default: mosaic)
  --template NAME            a template of the library, see --list-templates
                             (default: the theme's own look)
  --page NAME|WxH[px|in|cm]  page preset or size (default: "Instagram Post")
  --width W, --height H      output size in pixels; one of them keeps the
                             page's proportions
  --dpi D                    resolution of inch and centimetre pages
                             (default: 300)
  --watermark TEXT           write TEXT over the collage
  --watermark-position P     center, bottom-right (default), bottom-left,
                             top-right or top-left
  --watermark-opacity N      5 to 100 percent (default: 50)
  --seed N                   reproduce a layout exactly
  --save DOC.tsq             also save the collage as a document the editor
                             opens
  --list-templates           print the template library
  --help, --version
</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>FrameControlWidget</name>
    <message>
        <source>Enable frames</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Frames</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Color:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Width:</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>FrameProperties</name>
    <message>
        <source>Changing frame size</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing frame color</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Enabling frames</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Disabling frames</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>FutureProgressDialog</name>
    <message>
        <source>Reading files...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ImageFilters</name>
    <message>
        <source>None</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Grayscale</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sepia</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Warm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cool</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>High Contrast</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ImageList</name>
    <message numerus="yes">
        <source>Removing %n images</source>
        <translation type="unfinished">
            <numerusform />
            <numerusform />
        </translation>
    </message>
    <message numerus="yes">
        <source>Inserting %n images</source>
        <translation type="unfinished">
            <numerusform />
            <numerusform />
        </translation>
    </message>
    <message numerus="yes">
        <source>Reordering %n images</source>
        <translation type="unfinished">
            <numerusform />
            <numerusform />
        </translation>
    </message>
    <message numerus="yes">
        <source>Rotating %n images</source>
        <translation type="unfinished">
            <numerusform />
            <numerusform />
        </translation>
    </message>
</context>
<context>
    <name>ImageSource</name>
    <message>
        <source>Rotating image</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing image source address</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ItemTransformUndoCommand</name>
    <message>
        <source>object</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Scaling %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Moving %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotating %1</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing %1</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Images</source>
        <comment>tab panel</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Theme</source>
        <comment>tab panel</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add &amp;Text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add &amp;Sticker</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Untitled[*]</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Photos</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Window</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;New...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Ex&amp;port...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save as image</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Page setup...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change theme...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Show &amp;welcome screen...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Fit Page</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;About...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>About &amp;Qt...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Website</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add photo</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Remove photo</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotate left</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotates image 90° counterclockwise</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotate right</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotates image 90° clockwise</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Select images</source>
        <comment>dialog title</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save collage as</source>
        <comment>Dialog title</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>This file is already opened.
Please select other file or close opened version.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing theme</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Stickers</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>No stickers available. Add SVG or PNG files to the stickers resource folder.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Add Sticker</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Select sticker:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Do you want to save the changes you made in this document?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Do you want to save the changes you made in the document "%1" ?</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Document not saved</source>
        <comment>message box title</comment>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Your changes will be lost if you don't save them.</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PageSetupDialog</name>
    <message>
        <source>Pixels</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Inches</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Centimeters</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> px</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> in</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> cm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Page setup</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source> dpi</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Portrait</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Landscape</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Save for quick access</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Units:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Height:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>&amp;Resolution:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Orientation:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Preset &amp;name:</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PageSize</name>
    <message>
        <source>px</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>cm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 Square</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PageSizeModel</name>
    <message>
        <source>Instagram Post</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Instagram Portrait</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Instagram Story / Reels</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Facebook Post</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Facebook Cover</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>X / Twitter Post</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>X / Twitter Header</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pinterest Pin</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>YouTube Thumbnail</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Full HD (1080p)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>iPhone Retina Screen</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>iPad Retina Screen</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>iPhone Screen</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>iPad Screen</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>2" x 3" Wallet (Small)</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>2.5" x 3.5" Wallet</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>4" x 6" Postcard</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>20" x 30" Poster</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Custom page...</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Custom (%1) ...</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoDropItemProperties</name>
    <message>
        <source>Change filter</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change mask</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoDropSceneItem</name>
    <message>
        <source>Bring to Front</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bring Forward</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Send Backward</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Send to Back</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoDropTheme</name>
    <message>
        <source>Randomizing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bringing to Front</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bringing Forward</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sending Backward</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Sending to Back</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoDropThemeArrangeCommand</name>
    <message>
        <source>Arranging items</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoDropThemePropertiesWidget</name>
    <message>
        <source>Arrange</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Randomize</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoGridItemProperties</name>
    <message>
        <source>Change filter</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change mask</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoGridTheme</name>
    <message>
        <source>Changing spacing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing minimum image size</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rearrange</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Exchanging images</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Placing image</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoGrigControlWidget</name>
    <message>
        <source>Rearrange</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Arrange</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Spacing:</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PhotoMasks</name>
    <message>
        <source>None</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Circle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Heart</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Star</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Diamond</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Hexagon</source>
        <translation type="unfinished" />
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
    <name>ShadowControlWidget</name>
    <message>
        <source>Enable shadows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Single shadow</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Shadows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Color:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Angle:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Distance:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Blur radius:</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>ShadowProperties</name>
    <message>
        <source>Enabling shadows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Disabling shadows</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing shadow blur radius</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing shadow color</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing shadow angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing shadow distance</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Changing single shadow</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>StickerItem</name>
    <message>
        <source>Rotate sticker</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>StickerProperties</name>
    <message>
        <source>Change sticker</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Move sticker</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotate sticker</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Scale sticker</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change sticker opacity</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TemplatesDialog</name>
    <message>
        <source>Select theme to create collage</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Page &amp;size:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Portrait</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Landscape</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Preview size</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Templates</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Generating previews… %v / %m</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TextOverlayItem</name>
    <message>
        <source>Rotate text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Edit Text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Text:</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TextOverlayProperties</name>
    <message>
        <source>Text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change font</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change text color</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Move text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Rotate text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Scale text</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change text opacity</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change text alignment</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>Theme</name>
    <message>
        <source>Reseting layout</source>
        <translation type="unfinished" />
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
        <source>Visit developer's website</source>
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