<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CollectBatch</name>
    <message>
        <source>%1 would share one frame name; the frames of their arguments are named with the argument in front</source>
        <translation>%1 会得到同一个帧名; 这些参数下的帧名前面加上参数本身</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: tavrin [PATH...]
       tavrin -o SHEET.png [OPTION...] PATH...
       tavrin --project FILE.json [OPTION...]
</source>
        <translation>用法: tavrin [PATH...]
      tavrin -o SHEET.png [OPTION...] PATH...
      tavrin --project FILE.json [OPTION...]
</translation>
    </message>
    <message>
        <source>Merges bmp, png, jpg and gif pictures into one 32-bit RGBA PNG (or lossless WebP) sheet.
Folders are searched at any depth; the pictures are placed in the order of their full
paths. Without -o the window opens with the PATHs in its list.
</source>
        <translation>把 bmp、png、jpg 和 gif 图片合成为一张 32 位 RGBA 的 PNG (或无损 WebP) 合成图.
文件夹会逐层搜索到底; 图片按完整路径的顺序排列. 不加 -o 时打开窗口,
列表中是给出的各个 PATH.
</translation>
    </message>
    <message>
        <source>every argument after it is a PATH</source>
        <translation>其后的每个参数都是 PATH</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 an error was reported, 2 bad usage.
</source>
        <translation>退出状态: 0 完成, 1 报告了错误, 2 用法错误.
</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>Builds</source>
        <translation>构建</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>--data-format %1 %2; leave out %3</source>
        <translation>--data-format %1 %2; 请去掉 %3</translation>
    </message>
    <message>
        <source>%1 needs --layout packed</source>
        <translation>%1 需要 --layout packed</translation>
    </message>
    <message>
        <source>%1: takes %2, not &quot;%3&quot;</source>
        <translation>%1: 可取 %2, 不能是 &quot;%3&quot;</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 或 %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>%1 (default: %2)</source>
        <translation>%1 (默认: %2)</translation>
    </message>
    <message>
        <source>%1: takes a whole number from %2 to %3, not &quot;%4&quot;</source>
        <translation>%1: 取 %2 到 %3 的整数, 不能是 &quot;%4&quot;</translation>
    </message>
    <message>
        <source>show this text</source>
        <translation>显示本说明</translation>
    </message>
    <message>
        <source>show the version</source>
        <translation>显示版本</translation>
    </message>
    <message>
        <source>Sheet</source>
        <translation>合成图</translation>
    </message>
    <message>
        <source>compose without a window and write the sheet there: a PNG for a .png name, a lossless WebP for a .webp name; - writes the PNG to standard output</source>
        <translation>不开窗口直接合成, 把合成图写到这里: 名字以 .png 结尾写 PNG, 以 .webp 结尾写无损 WebP; - 把 PNG 写到标准输出</translation>
    </message>
    <message>
        <source>horizontal (one row), vertical (one column), multirow (a grid nearest to square), or packed (pictures of any size packed tightly); also 0, 1, 2, and any other integer for the grid (default: packed with --data and neither --columns nor --autocut, else vertical)</source>
        <translation>horizontal (一行)、vertical (一列)、multirow (最接近正方形的网格) 或 packed (任意大小的图片紧密排列); 也可以是 0、1、2, 其他整数表示网格 (默认: 有 --data 且没有 --columns 和 --autocut 时为 packed, 否则为 vertical)</translation>
    </message>
    <message>
        <source>a grid of N columns, whatever the layout (default: off)</source>
        <translation>N 列的网格, 不论何种布局 (默认: 关)</translation>
    </message>
    <message>
        <source>trim every picture to the common non-transparent area</source>
        <translation>把每张图片都裁剪到共同的不透明区域</translation>
    </message>
    <message>
        <source>trim each picture to its own non-transparent area; the data file keeps its offset (default: on with --data and none of --layout, --columns, --autocut)</source>
        <translation>把每张图片裁剪到各自的不透明区域; 数据文件记下它的偏移 (默认: 有 --data 且没有 --layout、--columns、--autocut 时开)</translation>
    </message>
    <message>
        <source>keep whole pictures, also where --data would trim them</source>
        <translation>保留整张图片, 有 --data 时也不裁剪</translation>
    </message>
    <message>
        <source>how hard the writer works: fast, default or best (default: default)</source>
        <translation>写出时的压缩力度: fast、default 或 best (默认: default)</translation>
    </message>
    <message>
        <source>scale every picture by F, from above 0 to 16, before laying it out (default: 1)</source>
        <translation>排列前把每张图片缩放 F 倍, F 大于 0 且不超过 16 (默认: 1)</translation>
    </message>
    <message>
        <source>also write the sheet and data file with the pictures scaled by F, named with SUFFIX before the extension (sheet@2x.png); repeatable, SUFFIX may be empty (default: one sheet at scale 1)</source>
        <translation>另外写出图片缩放 F 倍的合成图和数据文件, 在扩展名前加上 SUFFIX 命名 (sheet@2x.png); 可以多次给出, SUFFIX 可以为空 (默认: 只有一张 1 倍的合成图)</translation>
    </message>
    <message>
        <source>a palette PNG when the sheet has at most 256 colours, lossless; else RGBA and a warning (default: off)</source>
        <translation>合成图不超过 256 种颜色时写无损的调色板 PNG; 否则写 RGBA 并给出警告 (默认: 关)</translation>
    </message>
    <message>
        <source>Packing (with the packed layout)</source>
        <translation>紧密排列 (用于 packed 布局)</translation>
    </message>
    <message>
        <source>a picture may be stored turned 90 degrees clockwise where that makes the sheet smaller (default: off)</source>
        <translation>能让合成图更小时, 图片可以顺时针旋转 90 度存放 (默认: 关)</translation>
    </message>
    <message>
        <source>a sheet with equal sides (default: off)</source>
        <translation>合成图的宽和高相等 (默认: 关)</translation>
    </message>
    <message>
        <source>pictures that one sheet of --max-size cannot hold go on further sheets: SHEET-0.png, SHEET-1.png, ... (default: off)</source>
        <translation>一张 --max-size 的合成图放不下的图片放到后续的合成图: SHEET-0.png、SHEET-1.png、... (默认: 关)</translation>
    </message>
    <message>
        <source>give identical pictures places of their own (default: they share one)</source>
        <translation>相同的图片各占一个位置 (默认: 共用一个)</translation>
    </message>
    <message>
        <source>Spacing and texture size</source>
        <translation>间距与纹理尺寸</translation>
    </message>
    <message>
        <source>N transparent pixels between cells (default: 0)</source>
        <translation>格子之间留 N 个透明像素 (默认: 0)</translation>
    </message>
    <message>
        <source>N transparent pixels around the sheet (default: 0)</source>
        <translation>合成图四周留 N 个透明像素 (默认: 0)</translation>
    </message>
    <message>
        <source>repeat each frame&apos;s edge pixels N pixels outward (default: 0)</source>
        <translation>把每一帧边缘的像素向外重复 N 个像素 (默认: 0)</translation>
    </message>
    <message>
        <source>round both sides up to powers of two (default: off)</source>
        <translation>宽和高都向上取到 2 的幂 (默认: 关)</translation>
    </message>
    <message>
        <source>refuse a sheet with a side above N pixels (default: warn above 16384)</source>
        <translation>拒绝边长超过 N 像素的合成图 (默认: 超过 16384 时警告)</translation>
    </message>
    <message>
        <source>Edges and blending</source>
        <translation>边缘与混合</translation>
    </message>
    <message>
        <source>give every fully transparent pixel around and inside a frame the colour of the nearest visible one, so filtered edges take no dark or bright fringe (default: off)</source>
        <translation>给帧四周和内部每个全透明的像素填上最近的可见像素的颜色, 使过滤后的边缘没有暗边或亮边 (默认: 关)</translation>
    </message>
    <message>
        <source>multiply colours by alpha, for engines that blend premultiplied textures; the data file says so where its engine reads it (default: off)</source>
        <translation>颜色乘以 alpha, 用于按预乘纹理混合的引擎; 数据文件在其引擎会读的地方注明 (默认: 关)</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>帧</translation>
    </message>
    <message>
        <source>also write where each frame lies (default: none)</source>
        <translation>另外写出每一帧的位置 (默认: 不写)</translation>
    </message>
    <message>
        <source>frames of an animation without a duration of their own show 1000/N ms (default: 10)</source>
        <translation>动画中没有自己时长的帧显示 1000/N 毫秒 (默认: 10)</translation>
    </message>
    <message>
        <source>each frame&apos;s pivot, in fractions of its picture&apos;s width and height, e.g. 0.5,1 (default: none)</source>
        <translation>每一帧的轴心, 以其图片宽和高的比例表示, 例如 0.5,1 (默认: 无)</translation>
    </message>
    <message>
        <source>bytes (byte order of the full paths) or natural (numbers by value: frame2 before frame10) (default: bytes)</source>
        <translation>bytes (完整路径的字节顺序) 或 natural (数字按数值: frame2 在 frame10 之前) (默认: bytes)</translation>
    </message>
    <message>
        <source>first, or all: every frame of an animated gif in its own cell (default: first)</source>
        <translation>first, 或 all: 动画 gif 的每一帧各占一个格子 (默认: first)</translation>
    </message>
    <message>
        <source>build every sheet of the project file; the other options apply to each sheet, over the file&apos;s own (repeatable)</source>
        <translation>构建项目文件中的每一张合成图; 其他选项用于每一张, 优先于文件自己的选项 (可以多次给出)</translation>
    </message>
    <message>
        <source>write the files even when those there were made from the same pictures, options and version (default: leave them alone)</source>
        <translation>即使已有的文件是由同样的图片、选项和版本生成的, 也重新写出 (默认: 不改动)</translation>
    </message>
    <message>
        <source>also write the files made and every picture and folder they were made from as a Makefile rule, for make and ninja (default: none)</source>
        <translation>另外把生成的文件和生成它们所用的每张图片和文件夹写成 Makefile 规则, 供 make 和 ninja 使用 (默认: 不写)</translation>
    </message>
    <message>
        <source>after building, build again whenever a picture, a folder walked or the project file changes, until ended (Ctrl+C)</source>
        <translation>构建之后, 每当图片、搜索过的文件夹或项目文件有改动就再次构建, 直到结束 (Ctrl+C)</translation>
    </message>
    <message>
        <source>a flag</source>
        <translation>开关选项</translation>
    </message>
    <message>
        <source>the arguments cannot be read as options and paths</source>
        <translation>无法把这些参数读作选项和路径</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 需要一个值</translation>
    </message>
    <message>
        <source>%1 cannot take the value given</source>
        <translation>%1 不能取所给的值</translation>
    </message>
    <message>
        <source>--layout takes horizontal, vertical, multirow, packed or an integer</source>
        <translation>--layout 可取 horizontal、vertical、multirow、packed 或一个整数</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be given together</source>
        <translation>%1 和 %2 不能同时给出</translation>
    </message>
    <message>
        <source>--pivot takes two fractions X,Y from -1000000 to 1000000, as 0.5,1</source>
        <translation>--pivot 取两个 -1000000 到 1000000 之间的比例 X,Y, 例如 0.5,1</translation>
    </message>
    <message>
        <source>%1 is each sheet&apos;s own in a project</source>
        <translation>在项目中 %1 由每张合成图自己给出</translation>
    </message>
    <message>
        <source>a project names its own pictures, not %1</source>
        <translation>项目自己指定图片, 不能给出 %1</translation>
    </message>
    <message>
        <source>--scale and --variant cannot be given together; give --variant :F instead</source>
        <translation>--scale 和 --variant 不能同时给出; 请改用 --variant :F</translation>
    </message>
    <message>
        <source>--scale takes a number above 0 and at most 16, not &quot;%1&quot;</source>
        <translation>--scale 取大于 0 且不超过 16 的数, 不能是 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--variant takes SUFFIX:F with F above 0 and at most 16, not &quot;%1&quot;</source>
        <translation>--variant 取 SUFFIX:F, F 大于 0 且不超过 16, 不能是 &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--variant %1: a suffix names no folder</source>
        <translation>--variant %1: 后缀不能包含文件夹</translation>
    </message>
    <message>
        <source>--variant %1: another variant has the suffix &quot;%2&quot;</source>
        <translation>--variant %1: 另一个变体已使用后缀 &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 needs -o SHEET.png</source>
        <translation>%1 需要 -o SHEET.png</translation>
    </message>
    <message>
        <source>-o %1: a sheet&apos;s name ends in .png or .webp (or is - for standard output)</source>
        <translation>-o %1: 合成图的名字须以 .png 或 .webp 结尾 (或为 -, 表示标准输出)</translation>
    </message>
    <message>
        <source>--data takes a file name, not &quot;&quot;</source>
        <translation>--data 需要一个文件名, 不能是 &quot;&quot;</translation>
    </message>
    <message>
        <source>no PATH to compose</source>
        <translation>没有要合成的 PATH</translation>
    </message>
    <message>
        <source>--depfile names files, not standard output</source>
        <translation>--depfile 只能用于文件, 不能用于标准输出</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>未知选项 %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 不带值</translation>
    </message>
    <message>
        <source>Try &apos;tavrin --help&apos; for more information.
</source>
        <translation>运行 &apos;tavrin --help&apos; 查看更多说明.
</translation>
    </message>
</context>
<context>
    <name>ComposeCommand</name>
    <message>
        <source>Loading pictures: %1 of %2</source>
        <translation>正在读取图片: %1/%2</translation>
    </message>
    <message>
        <source>Packing %1 pictures</source>
        <translation>正在紧密排列 %1 张图片</translation>
    </message>
    <message>
        <source>Placing %1 pictures</source>
        <translation>正在排列 %1 张图片</translation>
    </message>
    <message>
        <source>Writing sheet %1 of %2</source>
        <translation>正在写入第 %1/%2 张合成图</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 和 %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>warning: %1</source>
        <translation>警告: %1</translation>
    </message>
    <message>
        <source>no bmp, png, jpg or gif file found</source>
        <translation>没有找到 bmp、png、jpg 或 gif 文件</translation>
    </message>
    <message>
        <source>Wrote %1 from %2 pictures.</source>
        <translation>已由 %2 张图片写出 %1.</translation>
    </message>
    <message>
        <source>Left %1 alone: up to date with its %2 pictures.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackPlanner</name>
    <message>
        <source>%1 pictures of %2 pixels in all, limit %3 x %3</source>
        <translation>%1 张图片共 %2 个像素, 上限为 %3 x %3</translation>
    </message>
</context>
<context>
    <name>ProjectCommand</name>
    <message>
        <source>%1 and %2 would write the same file</source>
        <translation>%1 和 %2 会写出同一个文件</translation>
    </message>
</context>
<context>
    <name>ProjectSheets</name>
    <message>
        <source>%1: unknown option</source>
        <translation>%1: 未知选项</translation>
    </message>
    <message>
        <source>%1: takes true or false</source>
        <translation>%1: 取 true 或 false</translation>
    </message>
    <message>
        <source>%1: takes a whole number</source>
        <translation>%1: 取一个整数</translation>
    </message>
    <message>
        <source>%1: takes a text</source>
        <translation>%1: 取一个文本</translation>
    </message>
    <message>
        <source>%1: takes a text or a list of texts</source>
        <translation>%1: 取一个文本或文本列表</translation>
    </message>
    <message>
        <source>%1: %2 matches no file</source>
        <translation>%1: %2 没有匹配到文件</translation>
    </message>
</context>
<context>
    <name>UComposeJob_C</name>
    <message>
        <source>the sheet is %1 x %2 pixels; most GPUs cannot load a texture with a side above %3 (--max-size makes this an error)</source>
        <translation>合成图为 %1 x %2 像素; 大多数 GPU 无法载入边长超过 %3 的纹理 (加 --max-size 则作为错误处理)</translation>
    </message>
    <message>
        <source>%1 has more than 256 colours, so --indexed writes it as RGBA</source>
        <translation>%1 的颜色超过 256 种, 所以 --indexed 仍按 RGBA 写出</translation>
    </message>
    <message>
        <source>the pictures differ in size, so each takes a cell as large as the largest; --data FILE.json packs and trims them and records where each frame went</source>
        <translation>图片大小不一, 每张都占一个与最大图片同样大的格子; --data FILE.json 会紧密排列并裁剪图片, 并记下每一帧的位置</translation>
    </message>
    <message>
        <source>left alone beyond the %1 sheets written, as no earlier run of Tavrin is known to have written them: %2</source>
        <translation>写出的 %1 张合成图之外的以下文件没有改动, 因为不能确定是 Tavrin 以前写出的: %2</translation>
    </message>
    <message>
        <source>the variants &quot;%1&quot; and &quot;%2&quot; would both write %3</source>
        <translation>变体 &quot;%1&quot; 和 &quot;%2&quot; 都会写入 %3</translation>
    </message>
    <message>
        <source>--multipack writes several files, not standard output</source>
        <translation>--multipack 会写出多个文件, 不能写到标准输出</translation>
    </message>
    <message>
        <source>--variant writes several files, not standard output</source>
        <translation>--variant 会写出多个文件, 不能写到标准输出</translation>
    </message>
    <message>
        <source>--indexed writes a palette PNG; a lossless WebP sheet takes a palette by itself</source>
        <translation>--indexed 写出调色板 PNG; 无损 WebP 合成图会自行使用调色板</translation>
    </message>
    <message>
        <source>%1 is the data file to write, not a picture to read</source>
        <translation>%1 是要写出的数据文件, 不是要读取的图片</translation>
    </message>
    <message>
        <source>%1 is the sheet to write, not a picture to read</source>
        <translation>%1 是要写出的合成图, 不是要读取的图片</translation>
    </message>
    <message>
        <source>%1 is a picture, and this run would write a sheet over it; choose another -o, or move the picture</source>
        <translation>%1 是一张图片, 这次运行会用合成图覆盖它; 请换一个 -o, 或移走这张图片</translation>
    </message>
</context>
<context>
    <name>UDataForm_S</name>
    <message>
        <source>frames by name</source>
        <translation>按名字列出帧</translation>
    </message>
    <message>
        <source>in sheet order</source>
        <translation>按合成图中的顺序</translation>
    </message>
    <message>
        <source>frames by index, for Phaser&apos;s createFromAseprite</source>
        <translation>按序号列出帧, 用于 Phaser 的 createFromAseprite</translation>
    </message>
    <message>
        <source>is read by Phaser 3, which draws a rotated frame mirrored</source>
        <translation>由 Phaser 3 读取, 它会把旋转的帧画成镜像</translation>
    </message>
    <message>
        <source>one multi-atlas for every sheet</source>
        <translation>所有合成图共用一个 multi-atlas</translation>
    </message>
    <message>
        <source>melonJS&apos;s atlas</source>
        <translation>melonJS 的图集</translation>
    </message>
    <message>
        <source>TextureAtlas</source>
        <translation>TextureAtlas</translation>
    </message>
    <message>
        <source>libGDX and Spine atlas</source>
        <translation>libGDX 和 Spine 图集</translation>
    </message>
    <message>
        <source>turns frames the other way</source>
        <translation>会把帧朝反方向旋转</translation>
    </message>
    <message>
        <source>one class per frame</source>
        <translation>每一帧一个 class</translation>
    </message>
    <message>
        <source>cannot show a rotated frame</source>
        <translation>无法显示旋转的帧</translation>
    </message>
    <message>
        <source>Godot 4 SpriteFrames</source>
        <translation>Godot 4 SpriteFrames</translation>
    </message>
    <message>
        <source>cannot turn a frame: Godot&apos;s AtlasTexture draws its region upright</source>
        <translation>无法旋转帧: Godot 的 AtlasTexture 总是正着画出其区域</translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成图片</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>终止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>垂直</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动裁剪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>多行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请把要处理的图片拖到此处:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UError_C</name>
    <message>
        <source>SystemError</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not enough memory.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法生成有效图片,有可能因为图片上全是透明色.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The sheet is too large to compose:</source>
        <translation>合成图太大, 无法合成:</translation>
    </message>
    <message>
        <source>Not enough memory to compose the sheet:</source>
        <translation>内存不足, 无法合成:</translation>
    </message>
    <message>
        <source>The sheet is larger than the size limit:</source>
        <translation>合成图超过了尺寸上限:</translation>
    </message>
    <message>
        <source>The pictures do not fit one sheet (--multipack spreads them over several):</source>
        <translation>图片放不进一张合成图 (--multipack 可以分到多张):</translation>
    </message>
    <message>
        <source>A picture is larger than the largest sheet:</source>
        <translation>有图片比最大的合成图还大:</translation>
    </message>
    <message>
        <source>Fail to write the file:</source>
        <translation>写入文件失败:</translation>
    </message>
    <message>
        <source>Fail to set default value because default value is different from last value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It`s too late to load customization file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to create the settings folder.</source>
        <translation>创建设置文件夹失败.</translation>
    </message>
    <message>
        <source>Fail to open pointed file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to create pointed file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to write data to the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to read data from the file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Incorrect state.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file to been deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too size of file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inaccurate file path or directory:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File path is too long:</source>
        <translation>文件路径太长:</translation>
    </message>
    <message>
        <source>Fail to list directory:</source>
        <translation>列出文件夹失败:</translation>
    </message>
    <message>
        <source>Fail to remove the file:</source>
        <translation>删除文件失败:</translation>
    </message>
    <message>
        <source>Unexpected point from the other area.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to copy data because null point.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to get memory because locked data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to lock data because the data has been locked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to unlock data because the data has not been locked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to read data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to write data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to get string because too long string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected file data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected file sign.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to get data because unexpected key.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to set data because unexpected key.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected index.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to find key by value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UserError</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Code:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Info:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>InfoEx:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data for pointed type.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Need bigger size to save data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to translate data with unknown type to string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to translate data with binary data to string.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected type or size of data.</source>
        <translation>数据的类型或大小不符合预期.</translation>
    </message>
    <message>
        <source>This identifier has not been registered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No data in the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This identifier is null.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This identifier has been deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This identifier has not existed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Two identifier are from the different lists.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to delete data because something uses it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This data is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to resume the data which has not been blanked out.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to register the data because it is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to register the data because it is inexistent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This identifier does not belong to this list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Amount of real data mismatch scheduled value.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to delete data because foregone reference mismatches current reference.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to find data by id.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to fast sort.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to set size because negative size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to use subtraction on the size because negative size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected scale.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to read an animation frame:</source>
        <translation>读取动画帧失败:</translation>
    </message>
    <message>
        <source>Not enough memory to read the animation:</source>
        <translation>内存不足, 无法读取动画:</translation>
    </message>
    <message>
        <source>Fail to read image file:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该图片不是索引图片.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The pixel format of image file must be 32-bits:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>创建图片文件失败.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No image data to operated.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to get pixel index from current image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected data format of current image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected image size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected character size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New palette size mismatches original palette size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to create new image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected image format.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to clone image because unexpected area.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected palette size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to set pixels because unexpected size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image format must be 8-bits or 32-bits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The data has not been initialized.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HBITMAP size mismatches size of pixels data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected transparency.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to set size because memory from exterior.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The index data mismatches palette data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to draw because no function.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to zoom in because new size mismatches the original size.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unexpected pixel position.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to add file path for list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fail to add data for list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取: %1</translation>
    </message>
    <message>
        <source>%1: not JSON: %2</source>
        <translation>%1: 不是 JSON: %2</translation>
    </message>
    <message>
        <source>%1: unknown key</source>
        <translation>%1: 未知的键</translation>
    </message>
    <message>
        <source>%1: given twice</source>
        <translation>%1: 给出了两次</translation>
    </message>
    <message>
        <source>%1: takes %2, not %3</source>
        <translation>%1: 应为 %2, 不能是 %3</translation>
    </message>
    <message>
        <source>%1: takes true, false, a number, a text or a list of numbers and texts</source>
        <translation>%1: 应为 true、false、数字、文本或由数字和文本组成的列表</translation>
    </message>
    <message>
        <source>%1: takes a list of at least one</source>
        <translation>%1: 应为至少有一项的列表</translation>
    </message>
    <message>
        <source>%1: lacks %2</source>
        <translation>%1: 缺少 %2</translation>
    </message>
</context>
<context>
    <name>UListedPictures_C</name>
    <message>
        <source>Not enough memory to decode the pictures.</source>
        <translation>内存不足，无法解码图片。</translation>
    </message>
    <message>
        <source>A picture cannot be decoded.</source>
        <translation>有图片无法解码。</translation>
    </message>
</context>
<context>
    <name>UOptionConflict_S</name>
    <message>
        <source>is drawn by browsers, which read a sheet as straight alpha</source>
        <translation>由浏览器绘制, 浏览器把合成图当作非预乘 alpha 读取</translation>
    </message>
</context>
<context>
    <name>UPreviewView_C</name>
    <message>
        <source>%1
%2 x %3 at %4, %5, turned</source>
        <translation>%1
%2 x %3，位于 %4, %5，已旋转</translation>
    </message>
    <message>
        <source>%1
%2 x %3 at %4, %5</source>
        <translation>%1
%2 x %3，位于 %4, %5</translation>
    </message>
</context>
<context>
    <name>UPreview_C</name>
    <message>
        <source>Fit</source>
        <translation>适应</translation>
    </message>
    <message>
        <source>Show the whole sheet</source>
        <translation>显示整张图集</translation>
    </message>
    <message>
        <source>1:1</source>
        <translation>1:1</translation>
    </message>
    <message>
        <source>One pixel of the sheet per pixel of the screen</source>
        <translation>图集的一个像素对应屏幕的一个像素</translation>
    </message>
    <message>
        <source>No pictures to show.</source>
        <translation>没有可显示的图片。</translation>
    </message>
    <message numerus="yes">
        <source>Placing %n picture(s)…</source>
        <translation>
            <numerusform>正在排列 %n 张图片…</numerusform>
        </translation>
    </message>
    <message>
        <source>Not enough memory to place the pictures.</source>
        <translation>内存不足，无法排列图片。</translation>
    </message>
    <message>
        <source>%1 x %2</source>
        <translation>%1 x %2</translation>
    </message>
    <message>
        <source>Sheet %1 of %2: %3</source>
        <translation>第 %1 张，共 %2 张：%3</translation>
    </message>
    <message numerus="yes">
        <source>%1 · %2 covered · %n picture(s), %3 sharing a place</source>
        <translation>
            <numerusform>%1 · 覆盖 %2 · %n 张图片，%3 张共用位置</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UProject_C</name>
    <message>
        <source>(line %1)</source>
        <translation>(第 %1 行)</translation>
    </message>
    <message>
        <source>%1 (line %2)</source>
        <translation>%1 (第 %2 行)</translation>
    </message>
    <message>
        <source>null</source>
        <translation>null</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>true 或 false</translation>
    </message>
    <message>
        <source>a number</source>
        <translation>数字</translation>
    </message>
    <message>
        <source>a text</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>an object</source>
        <translation>对象</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>列表</translation>
    </message>
    <message>
        <source>the project</source>
        <translation>项目</translation>
    </message>
</context>
<context>
    <name>USheetLimits_C</name>
    <message>
        <source>a packed sheet</source>
        <translation>紧密排列的合成图</translation>
    </message>
    <message>
        <source>%1 from %2 pictures needs %3, %4 available</source>
        <translation>由 %2 张图片合成的%1需要 %3, 可用 %4</translation>
    </message>
    <message>
        <source>%1; --layout packed packs pictures of different sizes tightly</source>
        <translation>%1; --layout packed 可以把大小不一的图片紧密排列</translation>
    </message>
    <message>
        <source>%1, limit %2</source>
        <translation>%1, 上限 %2</translation>
    </message>
</context>
<context>
    <name>USheetTargets_C</name>
    <message>
        <source>--data %1 names the sheet to write</source>
        <translation>--data %1 指的是要写出的合成图</translation>
    </message>
    <message>
        <source>--data %1 names a numbered sheet of the multipack (%2)</source>
        <translation>--data %1 指的是多张合成图中带编号的一张 (%2)</translation>
    </message>
    <message>
        <source>--data %1 names every numbered sheet of the multipack (%2)</source>
        <translation>--data %1 指的是多张合成图中每一张带编号的图 (%2)</translation>
    </message>
    <message>
        <source>-o %1 names a numbered data file of the multipack</source>
        <translation>-o %1 指的是多张合成图的一个带编号的数据文件</translation>
    </message>
</context>
<context>
    <name>WMosaro_C</name>
    <message numerus="yes">
        <source>Decoding %n picture(s)…</source>
        <translation>
            <numerusform>正在解码 %n 张图片…</numerusform>
        </translation>
    </message>
    <message>
        <source>Open project…</source>
        <translation>打开项目…</translation>
    </message>
    <message>
        <source>Save project…</source>
        <translation>保存项目…</translation>
    </message>
    <message>
        <source>The project has no sheet.</source>
        <translation>项目中没有图集。</translation>
    </message>
    <message numerus="yes">
        <source>The project has %n sheets: the window shows and saves the first, and keeps the others as they are.</source>
        <translation>
            <numerusform>项目有 %n 个图集：窗口只显示并保存第一个，其余保持原样。</numerusform>
        </translation>
    </message>
    <message>
        <source>Add the sheet&apos;s pictures before saving its project.</source>
        <translation>请先添加图集的图片，再保存项目。</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>项目</translation>
    </message>
</context>
<context>
    <name>WOptionsPanel_C</name>
    <message>
        <source>Layout</source>
        <translation>布局</translation>
    </message>
    <message>
        <source>Spacing</source>
        <translation>间距</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>Data file</source>
        <translation>数据文件</translation>
    </message>
    <message>
        <source>Layout and trimming</source>
        <translation>布局与裁剪</translation>
    </message>
    <message>
        <source>Packed: pictures of any size, placed tightly</source>
        <translation>紧密排列：任意尺寸的图片</translation>
    </message>
    <message>
        <source>Trim each picture to its own area</source>
        <translation>每张图片裁剪到各自的不透明区域</translation>
    </message>
    <message>
        <source>Packing</source>
        <translation>排列</translation>
    </message>
    <message>
        <source>Turn pictures where the sheet gets smaller</source>
        <translation>旋转图片以减小图集</translation>
    </message>
    <message>
        <source>Square sheet</source>
        <translation>正方形图集</translation>
    </message>
    <message>
        <source>Further sheets when one is full</source>
        <translation>一张放不下时使用多张图集</translation>
    </message>
    <message>
        <source>Identical pictures share one place</source>
        <translation>相同的图片共用一个位置</translation>
    </message>
    <message>
        <source>Between pictures:</source>
        <translation>图片之间：</translation>
    </message>
    <message>
        <source>Around the sheet:</source>
        <translation>图集边缘：</translation>
    </message>
    <message>
        <source>Edge pixels repeated:</source>
        <translation>边缘像素重复：</translation>
    </message>
    <message>
        <source>Sheet size</source>
        <translation>图集尺寸</translation>
    </message>
    <message>
        <source>Sides in powers of two</source>
        <translation>边长为 2 的幂</translation>
    </message>
    <message>
        <source>Longest side:</source>
        <translation>最长边：</translation>
    </message>
    <message>
        <source>No limit</source>
        <translation>不限</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Numbers in names by value: 2 before 10</source>
        <translation>按数值排序文件名中的数字：2 在 10 之前</translation>
    </message>
    <message>
        <source>Every frame of an animated GIF</source>
        <translation>动画 GIF 的每一帧</translation>
    </message>
    <message>
        <source>Sheet file</source>
        <translation>图集文件</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>快速</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Best</source>
        <translation>最佳</translation>
    </message>
    <message>
        <source>Compression:</source>
        <translation>压缩：</translation>
    </message>
    <message>
        <source>Palette PNG where 256 colours suffice</source>
        <translation>颜色不超过 256 种时使用调色板 PNG</translation>
    </message>
    <message>
        <source>Edges and blending</source>
        <translation>边缘与混合</translation>
    </message>
    <message>
        <source>Colour clear edge pixels as their neighbours</source>
        <translation>透明边缘像素取相邻像素的颜色</translation>
    </message>
    <message>
        <source>Engines that filter the sheet then draw no dark or light fringe</source>
        <translation>引擎过滤图集时不会出现暗边或亮边</translation>
    </message>
    <message>
        <source>Premultiplied alpha</source>
        <translation>预乘 Alpha</translation>
    </message>
    <message>
        <source>Frame data</source>
        <translation>帧数据</translation>
    </message>
    <message>
        <source>Write where each frame lies, beside the sheet</source>
        <translation>在图集旁写出每一帧的位置</translation>
    </message>
    <message>
        <source>Form:</source>
        <translation>格式：</translation>
    </message>
    <message>
        <source>Frames per second:</source>
        <translation>每秒帧数：</translation>
    </message>
    <message>
        <source>Pivot:</source>
        <translation>轴心：</translation>
    </message>
    <message>
        <source>Only a data file uses this.</source>
        <translation>只有数据文件使用此项。</translation>
    </message>
    <message>
        <source>Only a data file&apos;s pivot uses this.</source>
        <translation>只有数据文件的轴心使用此项。</translation>
    </message>
    <message>
        <source>The data form %1 %2.</source>
        <translation>数据格式 %1 %2。</translation>
    </message>
    <message>
        <source>Only the packed layout can use this.</source>
        <translation>只有紧密排列布局可以使用此项。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>no display to open the window on; -o SHEET.png composes without a window</source>
        <translation>没有可以打开窗口的显示器; -o SHEET.png 可以不开窗口直接合成</translation>
    </message>
</context>
</TS>
