<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Core</name>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>通常１</source>
        <translation>Normal 1</translation>
    </message>
    <message>
        <source>通常2</source>
        <translation>Normal 2</translation>
    </message>
    <message>
        <source>勝ち</source>
        <translation>Win</translation>
    </message>
    <message>
        <source>負け</source>
        <translation>Lose</translation>
    </message>
    <message>
        <source>立ち</source>
        <translation>Standing</translation>
    </message>
    <message>
        <source>おじゃま</source>
        <translation>Nuisance</translation>
    </message>
    <message>
        <source>喜び１</source>
        <translation>Joy 1</translation>
    </message>
    <message>
        <source>喜び２</source>
        <translation>Joy 2</translation>
    </message>
    <message>
        <source>喜び３</source>
        <translation>Joy 3</translation>
    </message>
    <message>
        <source>ダメージ１</source>
        <translation>Damage 1</translation>
    </message>
    <message>
        <source>ダメージ２</source>
        <translation>Damage 2</translation>
    </message>
    <message>
        <source>ダメージ３</source>
        <translation>Damage 3</translation>
    </message>
    <message>
        <source>ミス</source>
        <translation>Miss</translation>
    </message>
    <message>
        <source>ﾁｪｯｸﾊﾟﾀｰﾝ</source>
        <translation>Checking</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>シート</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>ファイルの行としてコピー</source>
        <translation>Copy as File Lines</translation>
    </message>
    <message>
        <source>状態を指定してファイルの行としてコピー...</source>
        <translation>Copy as File Lines for State...</translation>
    </message>
    <message>
        <source>状態の番号（0〜30）:</source>
        <translation>State number (0 to 30):</translation>
    </message>
    <message>
        <source>レイヤと転送先を全コマに繰り返す</source>
        <translation>Repeat Layer and Destination for Every Frame</translation>
    </message>
    <message>
        <source>%1, %2 行目</source>
        <translation>%1, line %2</translation>
    </message>
    <message>
        <source>ループ</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>ﾙｰﾌﾟ</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>再読込み</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>CG再読込み</source>
        <translation>Reload sheet</translation>
    </message>
    <message>
        <source>ｸﾘｯﾌﾟﾎﾞｰﾄﾞへ</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>開く...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>自動ＣＧ再読込み</source>
        <translation>Reload Sheet Automatically</translation>
    </message>
    <message>
        <source>自動キャラ再読込み</source>
        <translation>Reload Character Automatically</translation>
    </message>
    <message>
        <source>前回のファイルを開く</source>
        <translation>Reopen Last File</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>キャラクターファイル (*.chp);;Aseprite のシート JSON (*.json);;すべてのファイル (*)</source>
        <translation>Character files (*.chp);;Aseprite sheet JSON (*.json);;All files (*)</translation>
    </message>
    <message>
        <source>キャラクタファイル (*.chp);;すべてのファイル (*)</source>
        <translation>Character files (*.chp);;All files (*)</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>等倍</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>2 倍</source>
        <translation>Zoom 2×</translation>
    </message>
    <message>
        <source>3 倍</source>
        <translation>Zoom 3×</translation>
    </message>
    <message>
        <source>4 倍</source>
        <translation>Zoom 4×</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>1 コマ戻る</source>
        <translation>One Frame Back</translation>
    </message>
    <message>
        <source>1 コマ進む</source>
        <translation>One Frame Forward</translation>
    </message>
    <message>
        <source>フレーム情報</source>
        <translation>Frame Readout</translation>
    </message>
    <message>
        <source>ファイル %1 はもうありません。最近使ったファイルから外しました.</source>
        <translation>The file %1 is gone; it was taken off the recent files.</translation>
    </message>
    <message>
        <source>状態 %1 %2  コマ %3/%4  パターン %5</source>
        <translation>State %1 %2  frame %3/%4  pattern %5</translation>
    </message>
    <message>
        <source>  レイヤ %1→%2</source>
        <translation>  layer %1→%2</translation>
    </message>
    <message>
        <source>  一時停止中</source>
        <translation>  paused</translation>
    </message>
    <message>
        <source>  %1 ms（指定 %2）</source>
        <translation>  %1 ms (asked %2)</translation>
    </message>
    <message>
        <source>Anime</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>レイヤ</source>
        <translation>Layer</translation>
    </message>
    <message>
        <source>転送先</source>
        <translation>Destination</translation>
    </message>
    <message numerus="yes">
        <source>警告 %n 件（ここにポインタを置くと表示）</source>
        <translation>
            <numerusform>%n warning (rest the pointer here to see it)</numerusform>
            <numerusform>%n warnings (rest the pointer here to see them)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>全状態</source>
        <translation>Every State</translation>
    </message>
    <message>
        <source>書き出し</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>再生中の状態（%1 %2）</source>
        <translation>The state playing (%1 %2)</translation>
    </message>
    <message>
        <source>再生中の状態（書き出せません）</source>
        <translation>The state playing (cannot be exported)</translation>
    </message>
    <message>
        <source>コマのあるすべての状態</source>
        <translation>Every state with frames</translation>
    </message>
    <message>
        <source>対象</source>
        <translation>States</translation>
    </message>
    <message>
        <source>形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source> 倍</source>
        <translation>×</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>なし（ドット絵向き）</source>
        <translation>None (for pixel art)</translation>
    </message>
    <message>
        <source>規則的（8 × 8 のパターン）</source>
        <translation>Ordered (8 × 8 pattern)</translation>
    </message>
    <message>
        <source>誤差拡散（Floyd–Steinberg）</source>
        <translation>Error diffusion (Floyd–Steinberg)</translation>
    </message>
    <message>
        <source>GIF のディザ</source>
        <translation>GIF dithering</translation>
    </message>
    <message>
        <source>書き出す...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>選んだフォルダに、状態ごとにループする GIF を書き出します。</source>
        <translation>Writes a looping GIF per state into the folder you choose.</translation>
    </message>
    <message>
        <source>1 回分のコマを、ループする GIF（256 色まで）に書き出します。</source>
        <translation>Writes one pass of the frames as a looping GIF (up to 256 colours).</translation>
    </message>
    <message>
        <source>選んだフォルダに、状態ごとにループする可逆 WebP を書き出します。</source>
        <translation>Writes a looping lossless WebP per state into the folder you choose.</translation>
    </message>
    <message>
        <source>1 回分のコマを、色がそのまま残るループする WebP に書き出します。</source>
        <translation>Writes one pass of the frames as a looping WebP that keeps every colour.</translation>
    </message>
    <message>
        <source>状態ごとに 1 行、番号と名前とコマを並べた 1 枚の PNG に書き出します。</source>
        <translation>Writes one PNG with a row per state: its number, its name and its frames.</translation>
    </message>
    <message>
        <source>1 回分のコマを横に並べた PNG に書き出します。</source>
        <translation>Writes one pass of the frames side by side as a PNG.</translation>
    </message>
    <message>
        <source>クリックするとメインウィンドウで再生します</source>
        <translation>Click to play it in the main window</translation>
    </message>
    <message>
        <source>ボタンのない状態です（表示のみ）</source>
        <translation>A state without a button (shown only)</translation>
    </message>
    <message>
        <source>オニオンスキン</source>
        <translation>Onion Skin</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>前のコマ</source>
        <translation>Previous Frame</translation>
    </message>
    <message>
        <source>前後のコマ</source>
        <translation>Previous and Next Frames</translation>
    </message>
    <message>
        <source>透明部分を市松模様で表示</source>
        <translation>Show Transparency as a Checkerboard</translation>
    </message>
    <message>
        <source>フレームストリップ</source>
        <translation>Frame Strip</translation>
    </message>
    <message>
        <source>書き出し…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>書き出すフォルダ</source>
        <translation>Folder to export to</translation>
    </message>
    <message>
        <source>GIF 画像 (*.gif)</source>
        <translation>GIF images (*.gif)</translation>
    </message>
    <message>
        <source>WebP 画像 (*.webp)</source>
        <translation>WebP images (*.webp)</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>書き出すキャラクタがまだありません.</source>
        <translation>There is no character to export yet.</translation>
    </message>
    <message>
        <source>状態 %1 にはコマがないので、書き出すものがありません.</source>
        <translation>State %1 has no frames, so there is nothing to export.</translation>
    </message>
    <message>
        <source>コマのある状態がないので、書き出すものがありません.</source>
        <translation>No state has frames, so there is nothing to export.</translation>
    </message>
    <message>
        <source>%1 は開いているキャラクタファイルかシートなので、書き出しません.</source>
        <translation>%1 is the open character file or its sheet, so nothing was exported.</translation>
    </message>
    <message>
        <source>次のファイルはもうあります。置き換えますか？
%1</source>
        <translation>These files exist already. Replace them?
%1</translation>
    </message>
    <message>
        <source>書き出しています...</source>
        <translation>Exporting...</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1 に書き出しました.</source>
        <translation>Exported to %1.</translation>
    </message>
    <message>
        <source>%1 個のファイルを %2 に書き出しました.</source>
        <translation>Exported %1 files to %2.</translation>
    </message>
    <message>
        <source>書き出す画像が %1 × %2 ピクセルになり、大きすぎます。拡大を小さくしてください.</source>
        <translation>The exported picture would be %1 × %2 pixels, too large; choose a smaller scale.</translation>
    </message>
    <message>
        <source>ファイル %1 がその間にできたので、置き換えませんでした.</source>
        <translation>The file %1 appeared meanwhile, so it was not replaced.</translation>
    </message>
    <message>
        <source>ファイル %1 に書き込めません</source>
        <translation>Cannot write the file %1</translation>
    </message>
    <message>
        <source>書き出せませんでした（%1）.</source>
        <translation>The export failed (%1).</translation>
    </message>
    <message>
        <source>キャラクターファイルとして保存…</source>
        <translation>Save as Character File…</translation>
    </message>
    <message>
        <source>キャラクターファイルとして保存</source>
        <translation>Save as Character File</translation>
    </message>
    <message>
        <source>%1 はすでにあります。置き換えますか？</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>&apos;%1&apos; は数値ではありません</source>
        <translation>&apos;%1&apos; is not a number</translation>
    </message>
    <message>
        <source>ファイル %1 は開けません</source>
        <translation>Cannot open the file %1</translation>
    </message>
    <message>
        <source>%1 を読み込めません</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>%1 のテキストは読めません。Shift-JIS か UTF-8 で保存し直してください</source>
        <translation>%1 text cannot be read. Save the file again as Shift-JIS or UTF-8</translation>
    </message>
    <message>
        <source>DDraw.dll を読み込めません</source>
        <translation>Cannot read DDraw.dll</translation>
    </message>
    <message>
        <source>DirectDraw を初期化できません</source>
        <translation>Cannot initialize DirectDraw</translation>
    </message>
    <message>
        <source>DirectX 6 以降が必要です</source>
        <translation>DirectX 6 or later is needed</translation>
    </message>
    <message>
        <source>拡張子 .%1 の画像形式は処理できません</source>
        <translation>Pictures with the extension .%1 cannot be read</translation>
    </message>
    <message>
        <source>ビットマップイメージが不正です</source>
        <translation>The picture is not a valid image</translation>
    </message>
    <message>
        <source>ストリームからの読み込みエラー</source>
        <translation>The file ends before its picture does</translation>
    </message>
    <message>
        <source>不正な DIB です</source>
        <translation>The DIB file is not valid</translation>
    </message>
    <message>
        <source>不正なビット数です (%1)</source>
        <translation>The picture has an invalid bit count (%1)</translation>
    </message>
    <message>
        <source>不正なピクセルフォーマットです</source>
        <translation>The picture has an invalid pixel format</translation>
    </message>
    <message>
        <source>サーフェース を作成できません</source>
        <translation>Cannot create the surface</translation>
    </message>
    <message>
        <source>プライマリサーフェース を作成できません</source>
        <translation>Cannot create the primary surface</translation>
    </message>
    <message>
        <source>IDirectDrawSurface は作成されていません</source>
        <translation>The IDirectDrawSurface has not been created</translation>
    </message>
    <message>
        <source>Canvas に対する描画ができません</source>
        <translation>Cannot draw on the canvas</translation>
    </message>
    <message>
        <source>フォームが見つかりません</source>
        <translation>The window was not found</translation>
    </message>
    <message>
        <source>%1 は画像で、キャラクターファイルではありません。その画像を使うキャラクターファイル（.chp）を開いてください</source>
        <translation>%1 is a picture, not a character file. Open the character file (.chp) that uses it</translation>
    </message>
    <message>
        <source>%1 はテキストではないので、キャラクターファイルではありません。キャラクターファイル（.chp）を開いてください</source>
        <translation>%1 is not text, so it is not a character file. Open a character file (.chp)</translation>
    </message>
    <message>
        <source># で始まる行は命令として読まれます。メモは # 以外の文字で始めてください</source>
        <translation>Lines beginning with # are read as instructions. Begin a note with another character</translation>
    </message>
</context>
<context>
    <name>StateButton</name>
    <message>
        <source>通常１</source>
        <translation>Norm 1</translation>
    </message>
    <message>
        <source>通常２</source>
        <translation>Norm 2</translation>
    </message>
    <message>
        <source>勝ち</source>
        <translation>Win</translation>
    </message>
    <message>
        <source>負け</source>
        <translation>Lose</translation>
    </message>
    <message>
        <source>立ち</source>
        <translation>Stand</translation>
    </message>
    <message>
        <source>おじゃま</source>
        <translation>Nuis.</translation>
    </message>
    <message>
        <source>喜び１</source>
        <translation>Joy 1</translation>
    </message>
    <message>
        <source>喜び２</source>
        <translation>Joy 2</translation>
    </message>
    <message>
        <source>喜び３</source>
        <translation>Joy 3</translation>
    </message>
    <message>
        <source>ﾀﾞﾒｰｼﾞ１</source>
        <translation>Dmg 1</translation>
    </message>
    <message>
        <source>ﾀﾞﾒｰｼﾞ２</source>
        <translation>Dmg 2</translation>
    </message>
    <message>
        <source>ﾀﾞﾒｰｼﾞ３</source>
        <translation>Dmg 3</translation>
    </message>
    <message>
        <source>ミス</source>
        <translation>Miss</translation>
    </message>
    <message>
        <source>ﾊﾟﾀｰﾝﾁｪｯｸ</source>
        <translation>Check</translation>
    </message>
</context>
<context>
    <name>SheetWindow</name>
    <message>
        <source>シート</source>
        <translation>Sheet</translation>
    </message>
    <message>
        <source>分割…</source>
        <translation>Slice…</translation>
    </message>
    <message>
        <source>内容に合わせる</source>
        <translation>Snap to content</translation>
    </message>
    <message>
        <source>セル行をコピー</source>
        <translation>Copy cel line</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>全体</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>等倍</source>
        <translation>Actual size</translation>
    </message>
    <message>
        <source>2 倍</source>
        <translation>2×</translation>
    </message>
    <message>
        <source>3 倍</source>
        <translation>3×</translation>
    </message>
    <message>
        <source>4 倍</source>
        <translation>4×</translation>
    </message>
    <message>
        <source>5 倍</source>
        <translation>5×</translation>
    </message>
    <message>
        <source>6 倍</source>
        <translation>6×</translation>
    </message>
    <message>
        <source>7 倍</source>
        <translation>7×</translation>
    </message>
    <message>
        <source>8 倍</source>
        <translation>8×</translation>
    </message>
    <message>
        <source>透明色を市松模様で表示</source>
        <translation>Key colour as a checkerboard</translation>
    </message>
    <message>
        <source>パターン</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>レイヤ</source>
        <translation>Layer</translation>
    </message>
    <message>
        <source>転送先</source>
        <translation>Destination</translation>
    </message>
    <message>
        <source>空いているセル番号がありません（%1 まで使われています）</source>
        <translation>No cel number is free (all up to %1 are taken)</translation>
    </message>
    <message>
        <source>クリップボードへ: %1</source>
        <translation>On the clipboard: %1</translation>
    </message>
    <message>
        <source>囲んだ中には透明色しかありません</source>
        <translation>The rectangle holds only the key colour</translation>
    </message>
    <message>
        <source>x %1, y %2  色 %3</source>
        <translation>x %1, y %2  colour %3</translation>
    </message>
    <message>
        <source>（透明色）</source>
        <translation> (key)</translation>
    </message>
    <message>
        <source>  セル %1</source>
        <translation>  cels %1</translation>
    </message>
    <message>
        <source>囲み x %1, y %2, 幅 %3, 高さ %4</source>
        <translation>Rectangle x %1, y %2, width %3, height %4</translation>
    </message>
</context>
<context>
    <name>SlicingDialog</name>
    <message>
        <source>幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高さ</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>左の余白</source>
        <translation>Left offset</translation>
    </message>
    <message>
        <source>上の余白</source>
        <translation>Top offset</translation>
    </message>
    <message>
        <source>横の間隔</source>
        <translation>Spacing across</translation>
    </message>
    <message>
        <source>縦の間隔</source>
        <translation>Spacing down</translation>
    </message>
    <message>
        <source>列</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>まとめる距離</source>
        <translation>Merge within</translation>
    </message>
    <message>
        <source>最小の大きさ</source>
        <translation>Minimum size</translation>
    </message>
    <message>
        <source>16 進数で番号を付ける（#DATA 16）</source>
        <translation>Number in hexadecimal (#DATA 16)</translation>
    </message>
    <message>
        <source>最初の番号</source>
        <translation>First number</translation>
    </message>
    <message>
        <source>セル行をコピー</source>
        <translation>Copy cel lines</translation>
    </message>
    <message>
        <source>新しいキャラクタファイル…</source>
        <translation>New character file…</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>新しいキャラクタファイル</source>
        <translation>New character file</translation>
    </message>
    <message>
        <source>キャラクタファイル (*.chp)</source>
        <translation>Character files (*.chp)</translation>
    </message>
    <message>
        <source>%1 はもうあります。置き換えますか?</source>
        <translation>%1 exists already. Replace it?</translation>
    </message>
    <message>
        <source>分割</source>
        <translation>Slice</translation>
    </message>
    <message>
        <source>セルの大きさで</source>
        <translation>By cell size</translation>
    </message>
    <message>
        <source>個数で</source>
        <translation>By count</translation>
    </message>
    <message>
        <source>描かれた部分で</source>
        <translation>Automatically</translation>
    </message>
    <message>
        <source>分かれる部分が多すぎます。セルを大きくするか、距離と最小の大きさを大きくしてください</source>
        <translation>There are too many pieces to tell apart: make the cells larger, or the merge distance and the minimum size</translation>
    </message>
    <message>
        <source>セルがありません</source>
        <translation>No cels</translation>
    </message>
    <message>
        <source>%1 個のセル。最初の番号が %2 を超えています</source>
        <translation>%1 cels. The first number is above %2</translation>
    </message>
    <message>
        <source>%1 個のセル、番号 %2–%3</source>
        <translation>%1 cels, numbered %2–%3</translation>
    </message>
    <message>
        <source>。%1 個は番号がありません（番号は %2 まで）</source>
        <translation>; %1 get no number (numbers end at %2)</translation>
    </message>
    <message>
        <source>%1 行をクリップボードへ</source>
        <translation>%1 lines on the clipboard</translation>
    </message>
    <message>
        <source>%1 は開いているファイルなので、書き換えません。別の名前にしてください</source>
        <translation>%1 is open in the viewer, so it is not written over: choose another name</translation>
    </message>
    <message>
        <source>シート %1 を #CHARBMP の行に書けません。名前から空白を除くか、キャラクタファイルをシートのそばに置いてください</source>
        <translation>The sheet %1 cannot be named on a #CHARBMP line: take the blanks out of its name, or put the character file beside it</translation>
    </message>
    <message>
        <source>%1 に書き込めません（%2）</source>
        <translation>Cannot write %1 (%2)</translation>
    </message>
</context>
</TS>
