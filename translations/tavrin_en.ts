<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CollectBatch</name>
    <message>
        <source>%1 would share one frame name; the frames of their arguments are named with the argument in front</source>
        <translation>%1 would share one frame name; the frames of their arguments are named with the argument in front</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: tavrin [PATH...]
       tavrin -o SHEET.png [OPTION...] PATH...
       tavrin --project FILE.json [OPTION...]
</source>
        <translation>Usage: tavrin [PATH...]
       tavrin -o SHEET.png [OPTION...] PATH...
       tavrin --project FILE.json [OPTION...]
</translation>
    </message>
    <message>
        <source>Merges bmp, png, jpg and gif pictures into one 32-bit RGBA PNG (or lossless WebP) sheet.
Folders are searched at any depth; the pictures are placed in the order of their full
paths. Without -o the window opens with the PATHs in its list.
</source>
        <translation>Merges bmp, png, jpg and gif pictures into one 32-bit RGBA PNG (or lossless WebP) sheet.
Folders are searched at any depth; the pictures are placed in the order of their full
paths. Without -o the window opens with the PATHs in its list.
</translation>
    </message>
    <message>
        <source>every argument after it is a PATH</source>
        <translation>every argument after it is a PATH</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 an error was reported, 2 bad usage.
</source>
        <translation>Exit status: 0 done, 1 an error was reported, 2 bad usage.
</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>Builds</source>
        <translation>Builds</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>--data-format %1 %2; leave out %3</source>
        <translation>--data-format %1 %2; leave out %3</translation>
    </message>
    <message>
        <source>%1 needs --layout packed</source>
        <translation>%1 needs --layout packed</translation>
    </message>
    <message>
        <source>%1: takes %2, not &quot;%3&quot;</source>
        <translation>%1: takes %2, not &quot;%3&quot;</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 or %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 (default: %2)</source>
        <translation>%1 (default: %2)</translation>
    </message>
    <message>
        <source>%1: takes a whole number from %2 to %3, not &quot;%4&quot;</source>
        <translation>%1: takes a whole number from %2 to %3, not &quot;%4&quot;</translation>
    </message>
    <message>
        <source>show this text</source>
        <translation>show this text</translation>
    </message>
    <message>
        <source>show the version</source>
        <translation>show the version</translation>
    </message>
    <message>
        <source>Sheet</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>compose without a window and write the sheet there: a PNG for a .png name, a lossless WebP for a .webp name; - writes the PNG to standard output</source>
        <translation>compose without a window and write the sheet there: a PNG for a .png name, a lossless WebP for a .webp name; - writes the PNG to standard output</translation>
    </message>
    <message>
        <source>horizontal (one row), vertical (one column), multirow (a grid nearest to square), or packed (pictures of any size packed tightly); also 0, 1, 2, and any other integer for the grid (default: packed with --data and neither --columns nor --autocut, else vertical)</source>
        <translation>horizontal (one row), vertical (one column), multirow (a grid nearest to square), or packed (pictures of any size packed tightly); also 0, 1, 2, and any other integer for the grid (default: packed with --data and neither --columns nor --autocut, else vertical)</translation>
    </message>
    <message>
        <source>a grid of N columns, whatever the layout (default: off)</source>
        <translation>a grid of N columns, whatever the layout (default: off)</translation>
    </message>
    <message>
        <source>trim every picture to the common non-transparent area</source>
        <translation>trim every picture to the common non-transparent area</translation>
    </message>
    <message>
        <source>trim each picture to its own non-transparent area; the data file keeps its offset (default: on with --data and none of --layout, --columns, --autocut)</source>
        <translation>trim each picture to its own non-transparent area; the data file keeps its offset (default: on with --data and none of --layout, --columns, --autocut)</translation>
    </message>
    <message>
        <source>keep whole pictures, also where --data would trim them</source>
        <translation>keep whole pictures, also where --data would trim them</translation>
    </message>
    <message>
        <source>how hard the writer works: fast, default or best (default: default)</source>
        <translation>how hard the writer works: fast, default or best (default: default)</translation>
    </message>
    <message>
        <source>scale every picture by F, from above 0 to 16, before laying it out (default: 1)</source>
        <translation>scale every picture by F, from above 0 to 16, before laying it out (default: 1)</translation>
    </message>
    <message>
        <source>also write the sheet and data file with the pictures scaled by F, named with SUFFIX before the extension (sheet@2x.png); repeatable, SUFFIX may be empty (default: one sheet at scale 1)</source>
        <translation>also write the sheet and data file with the pictures scaled by F, named with SUFFIX before the extension (sheet@2x.png); repeatable, SUFFIX may be empty (default: one sheet at scale 1)</translation>
    </message>
    <message>
        <source>a palette PNG when the sheet has at most 256 colours, lossless; else RGBA and a warning (default: off)</source>
        <translation>a palette PNG when the sheet has at most 256 colours, lossless; else RGBA and a warning (default: off)</translation>
    </message>
    <message>
        <source>Packing (with the packed layout)</source>
        <translation>Packing (with the packed layout)</translation>
    </message>
    <message>
        <source>a picture may be stored turned 90 degrees clockwise where that makes the sheet smaller (default: off)</source>
        <translation>a picture may be stored turned 90 degrees clockwise where that makes the sheet smaller (default: off)</translation>
    </message>
    <message>
        <source>a sheet with equal sides (default: off)</source>
        <translation>a sheet with equal sides (default: off)</translation>
    </message>
    <message>
        <source>pictures that one sheet of --max-size cannot hold go on further sheets: SHEET-0.png, SHEET-1.png, ... (default: off)</source>
        <translation>pictures that one sheet of --max-size cannot hold go on further sheets: SHEET-0.png, SHEET-1.png, ... (default: off)</translation>
    </message>
    <message>
        <source>give identical pictures places of their own (default: they share one)</source>
        <translation>give identical pictures places of their own (default: they share one)</translation>
    </message>
    <message>
        <source>Spacing and texture size</source>
        <translation>Spacing and texture size</translation>
    </message>
    <message>
        <source>N transparent pixels between cells (default: 0)</source>
        <translation>N transparent pixels between cells (default: 0)</translation>
    </message>
    <message>
        <source>N transparent pixels around the sheet (default: 0)</source>
        <translation>N transparent pixels around the sheet (default: 0)</translation>
    </message>
    <message>
        <source>repeat each frame&apos;s edge pixels N pixels outward (default: 0)</source>
        <translation>repeat each frame&apos;s edge pixels N pixels outward (default: 0)</translation>
    </message>
    <message>
        <source>round both sides up to powers of two (default: off)</source>
        <translation>round both sides up to powers of two (default: off)</translation>
    </message>
    <message>
        <source>refuse a sheet with a side above N pixels (default: warn above 16384)</source>
        <translation>refuse a sheet with a side above N pixels (default: warn above 16384)</translation>
    </message>
    <message>
        <source>Edges and blending</source>
        <translation>Edges and blending</translation>
    </message>
    <message>
        <source>give every fully transparent pixel around and inside a frame the colour of the nearest visible one, so filtered edges take no dark or bright fringe (default: off)</source>
        <translation>give every fully transparent pixel around and inside a frame the colour of the nearest visible one, so filtered edges take no dark or bright fringe (default: off)</translation>
    </message>
    <message>
        <source>multiply colours by alpha, for engines that blend premultiplied textures; the data file says so where its engine reads it (default: off)</source>
        <translation>multiply colours by alpha, for engines that blend premultiplied textures; the data file says so where its engine reads it (default: off)</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>also write where each frame lies (default: none)</source>
        <translation>also write where each frame lies (default: none)</translation>
    </message>
    <message>
        <source>frames of an animation without a duration of their own show 1000/N ms (default: 10)</source>
        <translation>frames of an animation without a duration of their own show 1000/N ms (default: 10)</translation>
    </message>
    <message>
        <source>each frame&apos;s pivot, in fractions of its picture&apos;s width and height, e.g. 0.5,1 (default: none)</source>
        <translation>each frame&apos;s pivot, in fractions of its picture&apos;s width and height, e.g. 0.5,1 (default: none)</translation>
    </message>
    <message>
        <source>bytes (byte order of the full paths) or natural (numbers by value: frame2 before frame10) (default: bytes)</source>
        <translation>bytes (byte order of the full paths) or natural (numbers by value: frame2 before frame10) (default: bytes)</translation>
    </message>
    <message>
        <source>first, or all: every frame of an animated gif in its own cell (default: first)</source>
        <translation>first, or all: every frame of an animated gif in its own cell (default: first)</translation>
    </message>
    <message>
        <source>build every sheet of the project file; the other options apply to each sheet, over the file&apos;s own (repeatable)</source>
        <translation>build every sheet of the project file; the other options apply to each sheet, over the file&apos;s own (repeatable)</translation>
    </message>
    <message>
        <source>write the files even when those there were made from the same pictures, options and version (default: leave them alone)</source>
        <translation>write the files even when those there were made from the same pictures, options and version (default: leave them alone)</translation>
    </message>
    <message>
        <source>also write the files made and every picture and folder they were made from as a Makefile rule, for make and ninja (default: none)</source>
        <translation>also write the files made and every picture and folder they were made from as a Makefile rule, for make and ninja (default: none)</translation>
    </message>
    <message>
        <source>after building, build again whenever a picture, a folder walked or the project file changes, until ended (Ctrl+C)</source>
        <translation>after building, build again whenever a picture, a folder walked or the project file changes, until ended (Ctrl+C)</translation>
    </message>
    <message>
        <source>a flag</source>
        <translation>a flag</translation>
    </message>
    <message>
        <source>the arguments cannot be read as options and paths</source>
        <translation>the arguments cannot be read as options and paths</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>%1 cannot take the value given</source>
        <translation>%1 cannot take the value given</translation>
    </message>
    <message>
        <source>--layout takes horizontal, vertical, multirow, packed or an integer</source>
        <translation>--layout takes horizontal, vertical, multirow, packed or an integer</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be given together</source>
        <translation>%1 and %2 cannot be given together</translation>
    </message>
    <message>
        <source>--pivot takes two fractions X,Y from -1000000 to 1000000, as 0.5,1</source>
        <translation>--pivot takes two fractions X,Y from -1000000 to 1000000, as 0.5,1</translation>
    </message>
    <message>
        <source>%1 is each sheet&apos;s own in a project</source>
        <translation>%1 is each sheet&apos;s own in a project</translation>
    </message>
    <message>
        <source>a project names its own pictures, not %1</source>
        <translation>a project names its own pictures, not %1</translation>
    </message>
    <message>
        <source>--scale and --variant cannot be given together; give --variant :F instead</source>
        <translation>--scale and --variant cannot be given together; give --variant :F instead</translation>
    </message>
    <message>
        <source>--scale takes a number above 0 and at most 16, not &quot;%1&quot;</source>
        <translation>--scale takes a number above 0 and at most 16, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--variant takes SUFFIX:F with F above 0 and at most 16, not &quot;%1&quot;</source>
        <translation>--variant takes SUFFIX:F with F above 0 and at most 16, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--variant %1: a suffix names no folder</source>
        <translation>--variant %1: a suffix names no folder</translation>
    </message>
    <message>
        <source>--variant %1: another variant has the suffix &quot;%2&quot;</source>
        <translation>--variant %1: another variant has the suffix &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 needs -o SHEET.png</source>
        <translation>%1 needs -o SHEET.png</translation>
    </message>
    <message>
        <source>-o %1: a sheet&apos;s name ends in .png or .webp (or is - for standard output)</source>
        <translation>-o %1: a sheet&apos;s name ends in .png or .webp (or is - for standard output)</translation>
    </message>
    <message>
        <source>--data takes a file name, not &quot;&quot;</source>
        <translation>--data takes a file name, not &quot;&quot;</translation>
    </message>
    <message>
        <source>no PATH to compose</source>
        <translation>no PATH to compose</translation>
    </message>
    <message>
        <source>--depfile names files, not standard output</source>
        <translation>--depfile names files, not standard output</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>Try &apos;tavrin --help&apos; for more information.
</source>
        <translation>Try &apos;tavrin --help&apos; for more information.
</translation>
    </message>
</context>
<context>
    <name>ComposeCommand</name>
    <message>
        <source>Loading pictures: %1 of %2</source>
        <translation>Loading pictures: %1 of %2</translation>
    </message>
    <message>
        <source>Packing %1 pictures</source>
        <translation>Packing %1 pictures</translation>
    </message>
    <message>
        <source>Placing %1 pictures</source>
        <translation>Placing %1 pictures</translation>
    </message>
    <message>
        <source>Writing sheet %1 of %2</source>
        <translation>Writing sheet %1 of %2</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 and %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>warning: %1</translation>
    </message>
    <message>
        <source>no bmp, png, jpg or gif file found</source>
        <translation>no bmp, png, jpg or gif file found</translation>
    </message>
    <message>
        <source>Wrote %1 from %2 pictures.</source>
        <translation>Wrote %1 from %2 pictures.</translation>
    </message>
    <message>
        <source>Left %1 alone: up to date with its %2 pictures.</source>
        <translation>Left %1 alone: up to date with its %2 pictures.</translation>
    </message>
</context>
<context>
    <name>PackPlanner</name>
    <message>
        <source>%1 pictures of %2 pixels in all, limit %3 x %3</source>
        <translation>%1 pictures of %2 pixels in all, limit %3 x %3</translation>
    </message>
</context>
<context>
    <name>ProjectCommand</name>
    <message>
        <source>%1 and %2 would write the same file</source>
        <translation>%1 and %2 would write the same file</translation>
    </message>
</context>
<context>
    <name>ProjectSheets</name>
    <message>
        <source>%1: unknown option</source>
        <translation>%1: unknown option</translation>
    </message>
    <message>
        <source>%1: takes true or false</source>
        <translation>%1: takes true or false</translation>
    </message>
    <message>
        <source>%1: takes a whole number</source>
        <translation>%1: takes a whole number</translation>
    </message>
    <message>
        <source>%1: takes a text</source>
        <translation>%1: takes a text</translation>
    </message>
    <message>
        <source>%1: takes a text or a list of texts</source>
        <translation>%1: takes a text or a list of texts</translation>
    </message>
    <message>
        <source>%1: %2 matches no file</source>
        <translation>%1: %2 matches no file</translation>
    </message>
</context>
<context>
    <name>UComposeJob_C</name>
    <message>
        <source>the sheet is %1 x %2 pixels; most GPUs cannot load a texture with a side above %3 (--max-size makes this an error)</source>
        <translation>the sheet is %1 x %2 pixels; most GPUs cannot load a texture with a side above %3 (--max-size makes this an error)</translation>
    </message>
    <message>
        <source>%1 has more than 256 colours, so --indexed writes it as RGBA</source>
        <translation>%1 has more than 256 colours, so --indexed writes it as RGBA</translation>
    </message>
    <message>
        <source>the pictures differ in size, so each takes a cell as large as the largest; --data FILE.json packs and trims them and records where each frame went</source>
        <translation>the pictures differ in size, so each takes a cell as large as the largest; --data FILE.json packs and trims them and records where each frame went</translation>
    </message>
    <message>
        <source>left alone beyond the %1 sheets written, as no earlier run of Tavrin is known to have written them: %2</source>
        <translation>left alone beyond the %1 sheets written, as no earlier run of Tavrin is known to have written them: %2</translation>
    </message>
    <message>
        <source>the variants &quot;%1&quot; and &quot;%2&quot; would both write %3</source>
        <translation>the variants &quot;%1&quot; and &quot;%2&quot; would both write %3</translation>
    </message>
    <message>
        <source>--multipack writes several files, not standard output</source>
        <translation>--multipack writes several files, not standard output</translation>
    </message>
    <message>
        <source>--variant writes several files, not standard output</source>
        <translation>--variant writes several files, not standard output</translation>
    </message>
    <message>
        <source>--indexed writes a palette PNG; a lossless WebP sheet takes a palette by itself</source>
        <translation>--indexed writes a palette PNG; a lossless WebP sheet takes a palette by itself</translation>
    </message>
    <message>
        <source>%1 is the data file to write, not a picture to read</source>
        <translation>%1 is the data file to write, not a picture to read</translation>
    </message>
    <message>
        <source>%1 is the sheet to write, not a picture to read</source>
        <translation>%1 is the sheet to write, not a picture to read</translation>
    </message>
    <message>
        <source>%1 is a picture, and this run would write a sheet over it; choose another -o, or move the picture</source>
        <translation>%1 is a picture, and this run would write a sheet over it; choose another -o, or move the picture</translation>
    </message>
</context>
<context>
    <name>UDataForm_S</name>
    <message>
        <source>frames by name</source>
        <translation>frames by name</translation>
    </message>
    <message>
        <source>in sheet order</source>
        <translation>in sheet order</translation>
    </message>
    <message>
        <source>frames by index, for Phaser&apos;s createFromAseprite</source>
        <translation>frames by index, for Phaser&apos;s createFromAseprite</translation>
    </message>
    <message>
        <source>is read by Phaser 3, which draws a rotated frame mirrored</source>
        <translation>is read by Phaser 3, which draws a rotated frame mirrored</translation>
    </message>
    <message>
        <source>one multi-atlas for every sheet</source>
        <translation>one multi-atlas for every sheet</translation>
    </message>
    <message>
        <source>melonJS&apos;s atlas</source>
        <translation>melonJS&apos;s atlas</translation>
    </message>
    <message>
        <source>TextureAtlas</source>
        <translation>TextureAtlas</translation>
    </message>
    <message>
        <source>libGDX and Spine atlas</source>
        <translation>libGDX and Spine atlas</translation>
    </message>
    <message>
        <source>turns frames the other way</source>
        <translation>turns frames the other way</translation>
    </message>
    <message>
        <source>one class per frame</source>
        <translation>one class per frame</translation>
    </message>
    <message>
        <source>cannot show a rotated frame</source>
        <translation>cannot show a rotated frame</translation>
    </message>
    <message>
        <source>Godot 4 SpriteFrames</source>
        <translation>Godot 4 SpriteFrames</translation>
    </message>
    <message>
        <source>cannot turn a frame: Godot&apos;s AtlasTexture draws its region upright</source>
        <translation>cannot turn a frame: Godot&apos;s AtlasTexture draws its region upright</translation>
    </message>
    <message>
        <source>Godot 3 SpriteFrames</source>
        <translation>Godot 3 SpriteFrames</translation>
    </message>
</context>
<context>
    <name>UDialogTemplate_C</name>
    <message>
        <source>添加文件</source>
        <translation>Add files</translation>
    </message>
    <message>
        <source>添加目录</source>
        <translation>Add folder</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>合成图片</source>
        <translation>Compose</translation>
    </message>
    <message>
        <source>版本信息</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>终止</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>水平</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>垂直</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>自动裁剪</source>
        <translation>Auto cut</translation>
    </message>
    <message>
        <source>多行</source>
        <translation>Multi-row</translation>
    </message>
    <message>
        <source>请把要处理的图片拖到此处:</source>
        <translation>Drop pictures here:</translation>
    </message>
</context>
<context>
    <name>UError_C</name>
    <message>
        <source>SystemError</source>
        <translation>System error</translation>
    </message>
    <message>
        <source>Not enough memory.</source>
        <translation>Not enough memory.</translation>
    </message>
    <message>
        <source>无法生成有效图片,有可能因为图片上全是透明色.</source>
        <translation>Cannot make a sheet: the pictures may be fully transparent.</translation>
    </message>
    <message>
        <source>The sheet is too large to compose:</source>
        <translation>The sheet is too large to compose:</translation>
    </message>
    <message>
        <source>Not enough memory to compose the sheet:</source>
        <translation>Not enough memory to compose the sheet:</translation>
    </message>
    <message>
        <source>The sheet is larger than the size limit:</source>
        <translation>The sheet is larger than the size limit:</translation>
    </message>
    <message>
        <source>The pictures do not fit one sheet (--multipack spreads them over several):</source>
        <translation>The pictures do not fit one sheet (--multipack spreads them over several):</translation>
    </message>
    <message>
        <source>A picture is larger than the largest sheet:</source>
        <translation>A picture is larger than the largest sheet:</translation>
    </message>
    <message>
        <source>Fail to write the file:</source>
        <translation>Cannot write the file:</translation>
    </message>
    <message>
        <source>Fail to set default value because default value is different from last value.</source>
        <translation>Cannot set a default value that differs from the one set before.</translation>
    </message>
    <message>
        <source>It`s too late to load customization file.</source>
        <translation>The settings file is loaded too late.</translation>
    </message>
    <message>
        <source>Fail to create the settings folder.</source>
        <translation>Cannot create the settings folder.</translation>
    </message>
    <message>
        <source>Fail to open pointed file.</source>
        <translation>Cannot open the file.</translation>
    </message>
    <message>
        <source>Fail to create pointed file.</source>
        <translation>Cannot create the file.</translation>
    </message>
    <message>
        <source>Fail to write data to the file.</source>
        <translation>Cannot write to the file.</translation>
    </message>
    <message>
        <source>Fail to read data from the file.</source>
        <translation>Cannot read from the file.</translation>
    </message>
    <message>
        <source>Incorrect state.</source>
        <translation>The file is not in the state this step needs.</translation>
    </message>
    <message>
        <source>No file exist.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>No file to been deleted.</source>
        <translation>There is no file to delete.</translation>
    </message>
    <message>
        <source>Too size of file.</source>
        <translation>The file is too large.</translation>
    </message>
    <message>
        <source>Inaccurate file path or directory:</source>
        <translation>No such file or folder:</translation>
    </message>
    <message>
        <source>File path is too long:</source>
        <translation>File path is too long:</translation>
    </message>
    <message>
        <source>Fail to list directory:</source>
        <translation>Cannot list the folder:</translation>
    </message>
    <message>
        <source>Fail to remove the file:</source>
        <translation>Cannot remove the file:</translation>
    </message>
    <message>
        <source>Unexpected point from the other area.</source>
        <translation>A memory block belongs to another area.</translation>
    </message>
    <message>
        <source>Fail to copy data because null point.</source>
        <translation>Cannot copy data from a null pointer.</translation>
    </message>
    <message>
        <source>Fail to get memory because locked data.</source>
        <translation>Cannot allocate memory: the data is locked.</translation>
    </message>
    <message>
        <source>Fail to lock data because the data has been locked.</source>
        <translation>Cannot lock data that is already locked.</translation>
    </message>
    <message>
        <source>Fail to unlock data because the data has not been locked.</source>
        <translation>Cannot unlock data that is not locked.</translation>
    </message>
    <message>
        <source>Fail to read data.</source>
        <translation>Cannot read the data.</translation>
    </message>
    <message>
        <source>Fail to write data.</source>
        <translation>Cannot write the data.</translation>
    </message>
    <message>
        <source>Fail to get string because too long string.</source>
        <translation>Cannot read a text: it is too long.</translation>
    </message>
    <message>
        <source>Unexpected file data.</source>
        <translation>The file holds unexpected data.</translation>
    </message>
    <message>
        <source>Unexpected file sign.</source>
        <translation>The file is not of the expected kind.</translation>
    </message>
    <message>
        <source>Fail to get data because unexpected key.</source>
        <translation>Cannot read a value: unknown key.</translation>
    </message>
    <message>
        <source>Fail to set data because unexpected key.</source>
        <translation>Cannot set a value: unknown key.</translation>
    </message>
    <message>
        <source>Unexpected index.</source>
        <translation>The index is out of range.</translation>
    </message>
    <message>
        <source>Fail to find key by value.</source>
        <translation>No key has this value.</translation>
    </message>
    <message>
        <source>Unexpected error.</source>
        <translation>Unexpected error.</translation>
    </message>
    <message>
        <source>UserError</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Code:</source>
        <translation>Code:</translation>
    </message>
    <message>
        <source>Info:</source>
        <translation>Message:</translation>
    </message>
    <message>
        <source>InfoEx:</source>
        <translation>Details:</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>Where:</translation>
    </message>
    <message>
        <source>No data for pointed type.</source>
        <translation>No data of the requested type.</translation>
    </message>
    <message>
        <source>Need bigger size to save data.</source>
        <translation>The space is too small for the data.</translation>
    </message>
    <message>
        <source>Fail to translate data with unknown type to string.</source>
        <translation>Cannot turn data of an unknown type into text.</translation>
    </message>
    <message>
        <source>Fail to translate data with binary data to string.</source>
        <translation>Cannot turn binary data into text.</translation>
    </message>
    <message>
        <source>Unexpected type or size of data.</source>
        <translation>The data has an unexpected type or size.</translation>
    </message>
    <message>
        <source>This identifier has not been registered.</source>
        <translation>This identifier is not registered.</translation>
    </message>
    <message>
        <source>No data in the list.</source>
        <translation>The list is empty.</translation>
    </message>
    <message>
        <source>This identifier is null.</source>
        <translation>This identifier is null.</translation>
    </message>
    <message>
        <source>This identifier has been deleted.</source>
        <translation>This identifier has been deleted.</translation>
    </message>
    <message>
        <source>This identifier has not existed.</source>
        <translation>This identifier does not exist.</translation>
    </message>
    <message>
        <source>Two identifier are from the different lists.</source>
        <translation>The two identifiers belong to different lists.</translation>
    </message>
    <message>
        <source>Fail to delete data because something uses it.</source>
        <translation>Cannot delete data that is still in use.</translation>
    </message>
    <message>
        <source>This data is invalid.</source>
        <translation>This data is invalid.</translation>
    </message>
    <message>
        <source>Fail to resume the data which has not been blanked out.</source>
        <translation>Cannot restore data that was not removed.</translation>
    </message>
    <message>
        <source>Fail to register the data because it is invalid.</source>
        <translation>Cannot register invalid data.</translation>
    </message>
    <message>
        <source>Fail to register the data because it is inexistent.</source>
        <translation>Cannot register data that does not exist.</translation>
    </message>
    <message>
        <source>This identifier does not belong to this list.</source>
        <translation>This identifier does not belong to this list.</translation>
    </message>
    <message>
        <source>Amount of real data mismatch scheduled value.</source>
        <translation>The number of entries differs from the number expected.</translation>
    </message>
    <message>
        <source>Fail to delete data because foregone reference mismatches current reference.</source>
        <translation>Cannot delete data: its references have changed.</translation>
    </message>
    <message>
        <source>Fail to find data by id.</source>
        <translation>No data has this identifier.</translation>
    </message>
    <message>
        <source>Fail to fast sort.</source>
        <translation>Cannot sort the list.</translation>
    </message>
    <message>
        <source>Fail to set size because negative size.</source>
        <translation>A size cannot be negative.</translation>
    </message>
    <message>
        <source>Fail to use subtraction on the size because negative size.</source>
        <translation>Subtracting the sizes would give a negative size.</translation>
    </message>
    <message>
        <source>Unexpected scale.</source>
        <translation>The scale is out of range.</translation>
    </message>
    <message>
        <source>Fail to read an animation frame:</source>
        <translation>Cannot read a frame of the animation:</translation>
    </message>
    <message>
        <source>Not enough memory to read the animation:</source>
        <translation>Not enough memory to read the animation:</translation>
    </message>
    <message>
        <source>Fail to read image file:</source>
        <translation>Cannot read the picture file:</translation>
    </message>
    <message>
        <source>该图片不是索引图片.</source>
        <translation>The picture has no palette.</translation>
    </message>
    <message>
        <source>The pixel format of image file must be 32-bits:</source>
        <translation>The picture file must have 32 bits per pixel:</translation>
    </message>
    <message>
        <source>创建图片文件失败.</source>
        <translation>Cannot create the picture file.</translation>
    </message>
    <message>
        <source>No image data to operated.</source>
        <translation>There is no picture data to work on.</translation>
    </message>
    <message>
        <source>Fail to get pixel index from current image.</source>
        <translation>Cannot read a palette index from the picture.</translation>
    </message>
    <message>
        <source>Unexpected data format of current image.</source>
        <translation>The picture&apos;s data format is not the expected one.</translation>
    </message>
    <message>
        <source>Unexpected image size.</source>
        <translation>The picture&apos;s size is not the expected one.</translation>
    </message>
    <message>
        <source>Unexpected character size.</source>
        <translation>The text size is not the expected one.</translation>
    </message>
    <message>
        <source>New palette size mismatches original palette size.</source>
        <translation>The new palette&apos;s size differs from the old palette&apos;s.</translation>
    </message>
    <message>
        <source>Fail to create new image.</source>
        <translation>Cannot create the picture.</translation>
    </message>
    <message>
        <source>Unexpected image format.</source>
        <translation>The picture&apos;s format is not supported.</translation>
    </message>
    <message>
        <source>Fail to clone image because unexpected area.</source>
        <translation>Cannot copy a part of the picture: the area lies outside it.</translation>
    </message>
    <message>
        <source>Unexpected palette size.</source>
        <translation>The palette&apos;s size is not the expected one.</translation>
    </message>
    <message>
        <source>Fail to set pixels because unexpected size.</source>
        <translation>Cannot set the pixels: the size differs.</translation>
    </message>
    <message>
        <source>Image format must be 8-bits or 32-bits.</source>
        <translation>The picture must have 8 or 32 bits per pixel.</translation>
    </message>
    <message>
        <source>The data has not been initialized.</source>
        <translation>The pixels have not been set up.</translation>
    </message>
    <message>
        <source>HBITMAP size mismatches size of pixels data.</source>
        <translation>The bitmap&apos;s size differs from the pixels&apos; size.</translation>
    </message>
    <message>
        <source>Unexpected transparency.</source>
        <translation>The transparency is not the expected one.</translation>
    </message>
    <message>
        <source>Fail to set size because memory from exterior.</source>
        <translation>Cannot resize pixels that belong to someone else.</translation>
    </message>
    <message>
        <source>The index data mismatches palette data.</source>
        <translation>A palette index lies outside the palette.</translation>
    </message>
    <message>
        <source>Fail to draw because no function.</source>
        <translation>Cannot draw: no drawing function is set.</translation>
    </message>
    <message>
        <source>Fail to zoom in because new size mismatches the original size.</source>
        <translation>Cannot enlarge: the new size does not fit the old one.</translation>
    </message>
    <message>
        <source>Unexpected pixel position.</source>
        <translation>The pixel position lies outside the picture.</translation>
    </message>
    <message>
        <source>Fail to add file path for list.</source>
        <translation>Cannot add the file path to the list.</translation>
    </message>
    <message>
        <source>Fail to add data for list.</source>
        <translation>Cannot add the data to the list.</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>%1: not JSON: %2</source>
        <translation>%1: not JSON: %2</translation>
    </message>
    <message>
        <source>%1: unknown key</source>
        <translation>%1: unknown key</translation>
    </message>
    <message>
        <source>%1: given twice</source>
        <translation>%1: given twice</translation>
    </message>
    <message>
        <source>%1: takes %2, not %3</source>
        <translation>%1: takes %2, not %3</translation>
    </message>
    <message>
        <source>%1: takes true, false, a number, a text or a list of numbers and texts</source>
        <translation>%1: takes true, false, a number, a text or a list of numbers and texts</translation>
    </message>
    <message>
        <source>%1: takes a list of at least one</source>
        <translation>%1: takes a list of at least one</translation>
    </message>
    <message>
        <source>%1: lacks %2</source>
        <translation>%1: lacks %2</translation>
    </message>
</context>
<context>
    <name>UListedPictures_C</name>
    <message>
        <source>Not enough memory to decode the pictures.</source>
        <translation>Not enough memory to decode the pictures.</translation>
    </message>
    <message>
        <source>A picture cannot be decoded.</source>
        <translation>A picture cannot be decoded.</translation>
    </message>
</context>
<context>
    <name>UOptionConflict_S</name>
    <message>
        <source>is drawn by browsers, which read a sheet as straight alpha</source>
        <translation>is drawn by browsers, which read a sheet as straight alpha</translation>
    </message>
</context>
<context>
    <name>UPreviewView_C</name>
    <message>
        <source>%1
%2 x %3 at %4, %5, turned</source>
        <translation>%1
%2 x %3 at %4, %5, turned</translation>
    </message>
    <message>
        <source>%1
%2 x %3 at %4, %5</source>
        <translation>%1
%2 x %3 at %4, %5</translation>
    </message>
</context>
<context>
    <name>UPreview_C</name>
    <message>
        <source>Fit</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>Show the whole sheet</source>
        <translation>Show the whole sheet</translation>
    </message>
    <message>
        <source>1:1</source>
        <translation>1:1</translation>
    </message>
    <message>
        <source>One pixel of the sheet per pixel of the screen</source>
        <translation>One pixel of the sheet per pixel of the screen</translation>
    </message>
    <message>
        <source>No pictures to show.</source>
        <translation>No pictures to show.</translation>
    </message>
    <message numerus="yes">
        <source>Placing %n picture(s)…</source>
        <translation>
            <numerusform>Placing %n picture…</numerusform>
            <numerusform>Placing %n pictures…</numerusform>
        </translation>
    </message>
    <message>
        <source>Not enough memory to place the pictures.</source>
        <translation>Not enough memory to place the pictures.</translation>
    </message>
    <message>
        <source>%1 x %2</source>
        <translation>%1 x %2</translation>
    </message>
    <message>
        <source>Sheet %1 of %2: %3</source>
        <translation>Sheet %1 of %2: %3</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %2 covered · %n picture(s), %3 sharing a place</source>
        <translation>
            <numerusform>%1 · %2 covered · %n picture, %3 sharing a place</numerusform>
            <numerusform>%1 · %2 covered · %n pictures, %3 sharing a place</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UProject_C</name>
    <message>
        <source>(line %1)</source>
        <translation>(line %1)</translation>
    </message>
    <message>
        <source>%1 (line %2)</source>
        <translation>%1 (line %2)</translation>
    </message>
    <message>
        <source>null</source>
        <translation>null</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>true or false</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>a text</source>
        <translation>a text</translation>
    </message>
    <message>
        <source>an object</source>
        <translation>an object</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>a list</translation>
    </message>
    <message>
        <source>the project</source>
        <translation>the project</translation>
    </message>
</context>
<context>
    <name>USheetLimits_C</name>
    <message>
        <source>a packed sheet</source>
        <translation>a packed sheet</translation>
    </message>
    <message>
        <source>%1 from %2 pictures needs %3, %4 available</source>
        <translation>%1 from %2 pictures needs %3, %4 available</translation>
    </message>
    <message>
        <source>%1; --layout packed packs pictures of different sizes tightly</source>
        <translation>%1; --layout packed packs pictures of different sizes tightly</translation>
    </message>
    <message>
        <source>%1, limit %2</source>
        <translation>%1, limit %2</translation>
    </message>
</context>
<context>
    <name>USheetTargets_C</name>
    <message>
        <source>--data %1 names the sheet to write</source>
        <translation>--data %1 names the sheet to write</translation>
    </message>
    <message>
        <source>--data %1 names a numbered sheet of the multipack (%2)</source>
        <translation>--data %1 names a numbered sheet of the multipack (%2)</translation>
    </message>
    <message>
        <source>--data %1 names every numbered sheet of the multipack (%2)</source>
        <translation>--data %1 names every numbered sheet of the multipack (%2)</translation>
    </message>
    <message>
        <source>-o %1 names a numbered data file of the multipack</source>
        <translation>-o %1 names a numbered data file of the multipack</translation>
    </message>
</context>
<context>
    <name>WMosaro_C</name>
    <message numerus="yes">
        <source>Decoding %n picture(s)…</source>
        <translation>
            <numerusform>Decoding %n picture…</numerusform>
            <numerusform>Decoding %n pictures…</numerusform>
        </translation>
    </message>
    <message>
        <source>Open project…</source>
        <translation>Open project…</translation>
    </message>
    <message>
        <source>Save project…</source>
        <translation>Save project…</translation>
    </message>
    <message>
        <source>The project has no sheet.</source>
        <translation>The project has no sheet.</translation>
    </message>
    <message numerus="yes">
        <source>The project has %n sheets: the window shows and saves the first, and keeps the others as they are.</source>
        <translation>
            <numerusform>The project has %n sheet: the window shows and saves the first, and keeps the others as they are.</numerusform>
            <numerusform>The project has %n sheets: the window shows and saves the first, and keeps the others as they are.</numerusform>
        </translation>
    </message>
    <message>
        <source>Add the sheet&apos;s pictures before saving its project.</source>
        <translation>Add the sheet&apos;s pictures before saving its project.</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>Project</translation>
    </message>
</context>
<context>
    <name>WOptionsPanel_C</name>
    <message>
        <source>Layout</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>Data file</source>
        <translation>Data file</translation>
    </message>
    <message>
        <source>Layout and trimming</source>
        <translation>Layout and trimming</translation>
    </message>
    <message>
        <source>Packed: pictures of any size, placed tightly</source>
        <translation>Packed: pictures of any size, placed tightly</translation>
    </message>
    <message>
        <source>Trim each picture to its own area</source>
        <translation>Trim each picture to its own area</translation>
    </message>
    <message>
        <source>Packing</source>
        <translation>Packing</translation>
    </message>
    <message>
        <source>Turn pictures where the sheet gets smaller</source>
        <translation>Turn pictures where the sheet gets smaller</translation>
    </message>
    <message>
        <source>Square sheet</source>
        <translation>Square sheet</translation>
    </message>
    <message>
        <source>Further sheets when one is full</source>
        <translation>Further sheets when one is full</translation>
    </message>
    <message>
        <source>Identical pictures share one place</source>
        <translation>Identical pictures share one place</translation>
    </message>
    <message>
        <source>Between pictures:</source>
        <translation>Between pictures:</translation>
    </message>
    <message>
        <source>Around the sheet:</source>
        <translation>Around the sheet:</translation>
    </message>
    <message>
        <source>Edge pixels repeated:</source>
        <translation>Edge pixels repeated:</translation>
    </message>
    <message>
        <source>Sheet size</source>
        <translation>Sheet size</translation>
    </message>
    <message>
        <source>Sides in powers of two</source>
        <translation>Sides in powers of two</translation>
    </message>
    <message>
        <source>Longest side:</source>
        <translation>Longest side:</translation>
    </message>
    <message>
        <source>No limit</source>
        <translation>No limit</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>Numbers in names by value: 2 before 10</source>
        <translation>Numbers in names by value: 2 before 10</translation>
    </message>
    <message>
        <source>Every frame of an animated GIF</source>
        <translation>Every frame of an animated GIF</translation>
    </message>
    <message>
        <source>Sheet file</source>
        <translation>Sheet file</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Best</source>
        <translation>Best</translation>
    </message>
    <message>
        <source>Compression:</source>
        <translation>Compression:</translation>
    </message>
    <message>
        <source>Palette PNG where 256 colours suffice</source>
        <translation>Palette PNG where 256 colours suffice</translation>
    </message>
    <message>
        <source>Edges and blending</source>
        <translation>Edges and blending</translation>
    </message>
    <message>
        <source>Colour clear edge pixels as their neighbours</source>
        <translation>Colour clear edge pixels as their neighbours</translation>
    </message>
    <message>
        <source>Engines that filter the sheet then draw no dark or light fringe</source>
        <translation>Engines that filter the sheet then draw no dark or light fringe</translation>
    </message>
    <message>
        <source>Premultiplied alpha</source>
        <translation>Premultiplied alpha</translation>
    </message>
    <message>
        <source>Frame data</source>
        <translation>Frame data</translation>
    </message>
    <message>
        <source>Write where each frame lies, beside the sheet</source>
        <translation>Write where each frame lies, beside the sheet</translation>
    </message>
    <message>
        <source>Form:</source>
        <translation>Form:</translation>
    </message>
    <message>
        <source>Frames per second:</source>
        <translation>Frames per second:</translation>
    </message>
    <message>
        <source>Pivot:</source>
        <translation>Pivot:</translation>
    </message>
    <message>
        <source>Only a data file uses this.</source>
        <translation>Only a data file uses this.</translation>
    </message>
    <message>
        <source>Only a data file&apos;s pivot uses this.</source>
        <translation>Only a data file&apos;s pivot uses this.</translation>
    </message>
    <message>
        <source>The data form %1 %2.</source>
        <translation>The data form %1 %2.</translation>
    </message>
    <message>
        <source>Only the packed layout can use this.</source>
        <translation>Only the packed layout can use this.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>no display to open the window on; -o SHEET.png composes without a window</source>
        <translation>no display to open the window on; -o SHEET.png composes without a window</translation>
    </message>
</context>
</TS>
