<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>Lint</name>
    <message>
        <extracomment>ByteOrderMark</extracomment>
        <source>the file begins with a UTF-8 byte-order mark, so its first line, &apos;%1&apos;, does not begin with &apos;#&apos; and is ignored (save the file as UTF-8 without a BOM)</source>
        <translation>ファイルの先頭に UTF-8 の BOM があるため、1 行目 &apos;%1&apos; は &apos;#&apos; で始まらず、無視されます（BOM なしの UTF-8 で保存し直してください）</translation>
    </message>
    <message>
        <extracomment>IndentedLine</extracomment>
        <source>the line is indented, so it is ignored: &apos;%1&apos; (a keyword or cel line must begin at the first character)</source>
        <translation>行 &apos;%1&apos; は先頭に空白があるため、無視されます（キーワードやセルの行は行頭から書いてください）</translation>
    </message>
    <message>
        <extracomment>MisspeltKeyword</extracomment>
        <source>&apos;%1&apos; is no keyword, so the line is ignored (%2?)</source>
        <translation>&apos;%1&apos; はキーワードではないため、この行は無視されます（%2 の書き誤りではありませんか）</translation>
    </message>
    <message>
        <extracomment>NameCutAtBlank</extracomment>
        <source>the name is cut at the first blank: &apos;%1&apos; is shown, &apos;%2&apos; is left out (a full-width space keeps the name whole)</source>
        <translation>名前は最初の空白で切れます。&apos;%1&apos; は表示され、&apos;%2&apos; は表示されません（全角スペースなら名前は切れません）</translation>
    </message>
    <message>
        <extracomment>IntervalNotPositive</extracomment>
        <source>the frame interval %1 is not positive: the viewer then draws frames as fast as it can and keeps a processor busy (#ANIME gives the milliseconds per frame, e.g. #ANIME 100)</source>
        <translation>コマの間隔 %1 が 0 以下です。このままではビューアができるだけ速くコマを描き続け、CPU を占有します（#ANIME には 1 コマあたりのミリ秒数を書いてください。例えば #ANIME 100）</translation>
    </message>
    <message>
        <extracomment>NumberingBlanks</extracomment>
        <source>#DATA 16 has no effect: at most two blanks may stand before the 16</source>
        <translation>#DATA 16 は効果がありません。16 の前に置ける空白は 2 つまでです</translation>
    </message>
    <message>
        <extracomment>NumberingNot16</extracomment>
        <source>#DATA &apos;%1&apos; has no effect: only 16 switches cel numbers to hexadecimal</source>
        <translation>#DATA &apos;%1&apos; は効果がありません。セル番号を 16 進数に切り替えるのは 16 だけです</translation>
    </message>
    <message>
        <extracomment>SheetNameMissing</extracomment>
        <source>#CHARBMP names no picture (write the sheet&apos;s file name after it, e.g. #CHARBMP chara.bmp)</source>
        <translation>#CHARBMP に画像の名前がありません（後ろにシートのファイル名を書いてください。例えば #CHARBMP chara.bmp）</translation>
    </message>
    <message>
        <extracomment>SheetNameBlank</extracomment>
        <source>the sheet name &apos;%1&apos; has a blank: the reader looks for &apos;%2&apos; only (rename the picture without blanks, and this line with it)</source>
        <translation>シート名 &apos;%1&apos; に空白があるため、読み込みでは &apos;%2&apos; という画像を探します（画像の名前から空白を除き、この行も同じように直してください）</translation>
    </message>
    <message>
        <extracomment>SecondSheet</extracomment>
        <source>a second #CHARBMP (the first is on line %1): the viewer keeps one sheet, so &apos;%2&apos; replaces &apos;%3&apos; for every cel</source>
        <translation>2 つ目の #CHARBMP です（1 つ目は %1 行目）。ビューアのシートは 1 枚だけなので、すべてのセルで &apos;%3&apos; の代わりに &apos;%2&apos; が使われます</translation>
    </message>
    <message>
        <extracomment>ThreeDigitsHexHint</extracomment>
        <source>the cel number &apos;%1&apos; has three digits, but only two are read: the line defines cel %2 at x %3, y %4, width %5, height %6 (numbers above 99 need a &apos;#DATA 16&apos; line first; from there on every cel number is two hexadecimal digits, %1 being %7)</source>
        <translation>セル番号 &apos;%1&apos; は 3 桁ですが、読まれるのは 2 桁だけです。この行はセル %2 を x %3、y %4、幅 %5、高さ %6 で定義します（99 より大きい番号には、先に &apos;#DATA 16&apos; の行が必要です。そこから先のセル番号はすべて 16 進数 2 桁で、%1 なら %7 と書きます）</translation>
    </message>
    <message>
        <extracomment>ThreeDigitsHexHintNoValues</extracomment>
        <source>the cel number &apos;%1&apos; has three digits, but only two are read: the line defines cel %2 (numbers above 99 need a &apos;#DATA 16&apos; line first; from there on every cel number is two hexadecimal digits, %1 being %3)</source>
        <translation>セル番号 &apos;%1&apos; は 3 桁ですが、読まれるのは 2 桁だけです。この行はセル %2 を定義します（99 より大きい番号には、先に &apos;#DATA 16&apos; の行が必要です。そこから先のセル番号はすべて 16 進数 2 桁で、%1 なら %3 と書きます）</translation>
    </message>
    <message>
        <extracomment>ThreeDigitsTooLarge</extracomment>
        <source>the cel number &apos;%1&apos; has three digits, but only two are read: the line defines cel %2 at x %3, y %4, width %5, height %6 (cels go up to 255)</source>
        <translation>セル番号 &apos;%1&apos; は 3 桁ですが、読まれるのは 2 桁だけです。この行はセル %2 を x %3、y %4、幅 %5、高さ %6 で定義します（セルは 255 までです）</translation>
    </message>
    <message>
        <extracomment>ThreeDigitsTooLargeNoValues</extracomment>
        <source>the cel number &apos;%1&apos; has three digits, but only two are read: the line defines cel %2 (cels go up to 255)</source>
        <translation>セル番号 &apos;%1&apos; は 3 桁ですが、読まれるのは 2 桁だけです。この行はセル %2 を定義します（セルは 255 までです）</translation>
    </message>
    <message>
        <extracomment>ManyDigitsHexHint</extracomment>
        <source>the cel number &apos;%1&apos; has %2 digits, but only two are read: the line defines cel %3 at x %4, y %5, width %6, height %7 (numbers above 99 need a &apos;#DATA 16&apos; line first; from there on every cel number is two hexadecimal digits, %1 being %8)</source>
        <translation>セル番号 &apos;%1&apos; は %2 桁ですが、読まれるのは 2 桁だけです。この行はセル %3 を x %4、y %5、幅 %6、高さ %7 で定義します（99 より大きい番号には、先に &apos;#DATA 16&apos; の行が必要です。そこから先のセル番号はすべて 16 進数 2 桁で、%1 なら %8 と書きます）</translation>
    </message>
    <message>
        <extracomment>ManyDigitsHexHintNoValues</extracomment>
        <source>the cel number &apos;%1&apos; has %2 digits, but only two are read: the line defines cel %3 (numbers above 99 need a &apos;#DATA 16&apos; line first; from there on every cel number is two hexadecimal digits, %1 being %4)</source>
        <translation>セル番号 &apos;%1&apos; は %2 桁ですが、読まれるのは 2 桁だけです。この行はセル %3 を定義します（99 より大きい番号には、先に &apos;#DATA 16&apos; の行が必要です。そこから先のセル番号はすべて 16 進数 2 桁で、%1 なら %4 と書きます）</translation>
    </message>
    <message>
        <extracomment>ManyDigitsTooLarge</extracomment>
        <source>the cel number &apos;%1&apos; has %2 digits, but only two are read: the line defines cel %3 at x %4, y %5, width %6, height %7 (cels go up to 255)</source>
        <translation>セル番号 &apos;%1&apos; は %2 桁ですが、読まれるのは 2 桁だけです。この行はセル %3 を x %4、y %5、幅 %6、高さ %7 で定義します（セルは 255 までです）</translation>
    </message>
    <message>
        <extracomment>ManyDigitsTooLargeNoValues</extracomment>
        <source>the cel number &apos;%1&apos; has %2 digits, but only two are read: the line defines cel %3 (cels go up to 255)</source>
        <translation>セル番号 &apos;%1&apos; は %2 桁ですが、読まれるのは 2 桁だけです。この行はセル %3 を定義します（セルは 255 までです）</translation>
    </message>
    <message>
        <extracomment>BlankAfterHash</extracomment>
        <source>a blank stands between &apos;#&apos; and the cel number, so the line is ignored (write the number right after the &apos;#&apos;)</source>
        <translation>&apos;#&apos; とセル番号の間に空白があるため、この行は無視されます（番号は &apos;#&apos; のすぐ後に書いてください）</translation>
    </message>
    <message>
        <extracomment>CelNumberOutOfRange</extracomment>
        <source>cel %1 cannot be stored, so the line is ignored (cels are numbered 1 to 255)</source>
        <translation>セル %1 は登録できないため、この行は無視されます（セル番号は 1 から 255 までです）</translation>
    </message>
    <message>
        <extracomment>HexCelNumberBeforeNumbering</extracomment>
        <source>&apos;%1&apos; is no decimal cel number, so the line is ignored (hexadecimal cel numbers need a &apos;#DATA 16&apos; line before them)</source>
        <translation>&apos;%1&apos; は 10 進数のセル番号ではないため、この行は無視されます（16 進数のセル番号を使うには、その前に &apos;#DATA 16&apos; の行が必要です）</translation>
    </message>
    <message>
        <extracomment>NoCelLine</extracomment>
        <source>&apos;%1&apos; is no cel line, so it is ignored (after the &apos;#&apos; come the cel number, then x, y, width and height, each after a blank)</source>
        <translation>&apos;%1&apos; はセルの行ではないため、無視されます（&apos;#&apos; の後にセル番号、続いて x、y、幅、高さを、それぞれ空白を 1 つ空けて書いてください）</translation>
    </message>
    <message>
        <extracomment>HexCelZero</extracomment>
        <source>cel 00 cannot be stored, so the line is ignored (cels are numbered 01 to FF)</source>
        <translation>セル 00 は登録できないため、この行は無視されます（セル番号は 01 から FF までです）</translation>
    </message>
    <message>
        <extracomment>HexCelNumberOneDigit</extracomment>
        <source>after #DATA 16 a cel number is two hexadecimal digits, so &apos;%1&apos; is ignored with its line (write #0%1)</source>
        <translation>#DATA 16 の後ではセル番号は 16 進数 2 桁なので、&apos;%1&apos; はその行ごと無視されます（#0%1 と書いてください）</translation>
    </message>
    <message>
        <extracomment>HexCelNumberWidth</extracomment>
        <source>after #DATA 16 a cel number is two hexadecimal digits, so &apos;%1&apos; is ignored with its line (cels are numbered 01 to FF)</source>
        <translation>#DATA 16 の後ではセル番号は 16 進数 2 桁なので、&apos;%1&apos; はその行ごと無視されます（セル番号は 01 から FF までです）</translation>
    </message>
    <message>
        <extracomment>CelDefinedAgain</extracomment>
        <source>cel %1 is defined again (the first is on line %2): this line replaces it</source>
        <translation>セル %1 がもう一度定義されています（1 つ目は %2 行目）。この行の定義で置き換わります</translation>
    </message>
    <message>
        <extracomment>StateOutOfTables</extracomment>
        <source>%1 of state %2, which lies outside 0..30: the line is ignored</source>
        <translation>%1 の状態 %2 は 0..30 の範囲外のため、この行は無視されます</translation>
    </message>
    <message>
        <extracomment>StateThirty</extracomment>
        <source>no button plays state 30 from the file: the pattern check button (%1) plays the sequences typed in the window instead (only --render and --export play this row)</source>
        <translation>ファイルの状態 30 を再生するボタンはありません。%1 ボタンは、代わりにウィンドウに入力した並びを再生します（ファイルのこの行を再生するのは --render と --export だけです）</translation>
    </message>
    <message>
        <extracomment>StateLightsOtherButton</extracomment>
        <source>no button plays state %1: this row lights up the %2 button, but that button plays state %3 (its row is #PATERN %4)</source>
        <translation>状態 %1 を再生するボタンはありません。この行があると %2 ボタンが押せるようになりますが、そのボタンが再生するのは状態 %3 です（そのボタンの行は #PATERN %4 です）</translation>
    </message>
    <message>
        <extracomment>StateZero</extracomment>
        <source>no button plays state 0: the viewer falls back to it only when a state ends with no base state to return to (the states with buttons are %1)</source>
        <translation>状態 0 を再生するボタンはありません。ビューアが状態 0 を再生するのは、ある状態が終わったときに戻る先の基本状態がない場合だけです（ボタンのある状態は %1 です）</translation>
    </message>
    <message>
        <extracomment>StateWithoutButton</extracomment>
        <source>no button plays state %1, so the window does not show this row (the states with buttons are %2)</source>
        <translation>状態 %1 を再生するボタンがないため、この行はウィンドウでは再生されません（ボタンのある状態は %2 です）</translation>
    </message>
    <message>
        <extracomment>PatternWithoutSequence</extracomment>
        <source>#PATERN of state %1 has no sequence, so the state shows cel 1 alone (the cels follow the state number, two hexadecimal digits each)</source>
        <translation>状態 %1 の #PATERN にセルの並びがないため、この状態ではセル 1 だけが表示されます（状態番号の後に、セルを 16 進数 2 桁ずつ書いてください）</translation>
    </message>
    <message>
        <extracomment>LayerWithoutSequence</extracomment>
        <source>#LAYER of state %1 has no sequence, so no layer is drawn (the cels follow the state number, two hexadecimal digits each)</source>
        <translation>状態 %1 の #LAYER にセルの並びがないため、レイヤは描かれません（状態番号の後に、セルを 16 進数 2 桁ずつ書いてください）</translation>
    </message>
    <message>
        <extracomment>PatternSplit</extracomment>
        <source>blanks split the pattern sequence: only &apos;%1&apos; is read, &apos;%2&apos; is ignored (write the entries without blanks)</source>
        <translation>パターンの並びが空白で区切られています。読まれるのは &apos;%1&apos; だけで、&apos;%2&apos; は無視されます（空白を入れずに続けて書いてください）</translation>
    </message>
    <message>
        <extracomment>PatternSplitJoined</extracomment>
        <source>blanks split the pattern sequence: only &apos;%1&apos; is read, &apos;%2&apos; is ignored (write the entries without blanks: %3)</source>
        <translation>パターンの並びが空白で区切られています。読まれるのは &apos;%1&apos; だけで、&apos;%2&apos; は無視されます（空白を入れずに %3 と書いてください）</translation>
    </message>
    <message>
        <extracomment>LayerDestinationEmpty</extracomment>
        <source>two blanks stand between the layer and the destination sequence, so the destination is read as empty and the layer is never drawn (separate them by one blank)</source>
        <translation>レイヤと転送先の間に空白が 2 つあるため、転送先は空として読まれ、レイヤは描かれません（間の空白は 1 つにしてください）</translation>
    </message>
    <message>
        <extracomment>LayerWithoutDestination</extracomment>
        <source>the layer has no destination sequence, so it is never drawn (after the layer sequence and one blank come the cels whose places the layer cels go to)</source>
        <translation>レイヤに転送先がないため、レイヤは描かれません（レイヤの並びの後に空白を 1 つ空けて、レイヤのセルを置く先のセルを書いてください）</translation>
    </message>
    <message>
        <extracomment>LayerSequencesSplit</extracomment>
        <source>blanks split the sequences: the layer is read as &apos;%1&apos; and the destination as &apos;%2&apos;, &apos;%3&apos; is ignored (one blank between the layer and the destination sequence, none inside them)</source>
        <translation>並びが空白で区切られています。レイヤは &apos;%1&apos;、転送先は &apos;%2&apos; として読まれ、&apos;%3&apos; は無視されます（レイヤと転送先の間にだけ空白を 1 つ入れ、それぞれの並びの中には入れないでください）</translation>
    </message>
    <message>
        <extracomment>DestinationShorterOneEntryOneFrame</extracomment>
        <source>the destination sequence is shorter than the layer, 1 entry against %1: frame %2 has no destination, so its layer cel is not drawn</source>
        <translation>転送先は 1 個で、レイヤの %1 個より短くなっています。%2 コマ目には転送先がないため、そのコマのレイヤのセルは描かれません</translation>
    </message>
    <message>
        <extracomment>DestinationShorterOneEntryFrames</extracomment>
        <source>the destination sequence is shorter than the layer, 1 entry against %1: frames %2–%3 have no destination, so their layer cels are not drawn</source>
        <translation>転送先は 1 個で、レイヤの %1 個より短くなっています。%2–%3 コマ目には転送先がないため、それらのコマのレイヤのセルは描かれません</translation>
    </message>
    <message>
        <extracomment>DestinationShorterOneFrame</extracomment>
        <source>the destination sequence is shorter than the layer, %1 entries against %2: frame %3 has no destination, so its layer cel is not drawn</source>
        <translation>転送先は %1 個で、レイヤの %2 個より短くなっています。%3 コマ目には転送先がないため、そのコマのレイヤのセルは描かれません</translation>
    </message>
    <message>
        <extracomment>DestinationShorterFrames</extracomment>
        <source>the destination sequence is shorter than the layer, %1 entries against %2: frames %3–%4 have no destination, so their layer cels are not drawn</source>
        <translation>転送先は %1 個で、レイヤの %2 個より短くなっています。%3–%4 コマ目には転送先がないため、それらのコマのレイヤのセルは描かれません</translation>
    </message>
    <message>
        <extracomment>DestinationLongerOneEntry</extracomment>
        <source>the destination sequence is longer than the layer, 1 entry against %1: its last entry is never used</source>
        <translation>転送先は 1 個で、レイヤの %1 個より長くなっています。転送先の最後の 1 個は使われません</translation>
    </message>
    <message>
        <extracomment>DestinationLongerOneUnused</extracomment>
        <source>the destination sequence is longer than the layer, %1 entries against %2: its last entry is never used</source>
        <translation>転送先は %1 個で、レイヤの %2 個より長くなっています。転送先の最後の 1 個は使われません</translation>
    </message>
    <message>
        <extracomment>DestinationLongerUnused</extracomment>
        <source>the destination sequence is longer than the layer, %1 entries against %2: its last %3 are never used</source>
        <translation>転送先は %1 個で、レイヤの %2 個より長くなっています。転送先の最後の %3 個は使われません</translation>
    </message>
    <message>
        <extracomment>SecondRowReplaces</extracomment>
        <source>a second %1 for state %2 (the first is on line %3) replaces the first (keep one line per state)</source>
        <translation>状態 %2 の 2 つ目の %1 が、1 つ目（%3 行目）を置き換えます（1 つの状態には 1 行だけ書いてください）</translation>
    </message>
    <message>
        <extracomment>SecondRowPartlyPattern</extracomment>
        <source>a second %1 for state %2 (the first is on line %3) is shorter and replaces only the start of it: state %2 plays %4 (keep one line per state)</source>
        <translation>状態 %2 の 2 つ目の %1 は 1 つ目（%3 行目）より短いため、その先頭だけを置き換えます。状態 %2 は %4 を再生します（1 つの状態には 1 行だけ書いてください）</translation>
    </message>
    <message>
        <extracomment>SecondRowPartlyLayer</extracomment>
        <source>a second %1 for state %2 (the first is on line %3) is shorter and replaces only the start of it: the layer plays %4, the destination %5 (keep one line per state)</source>
        <translation>状態 %2 の 2 つ目の %1 は 1 つ目（%3 行目）より短いため、その先頭だけを置き換えます。レイヤは %4、転送先は %5 になります（1 つの状態には 1 行だけ書いてください）</translation>
    </message>
    <message>
        <extracomment>PatternOddLength</extracomment>
        <source>the pattern sequence has an odd length (%1 characters): its last character &apos;%2&apos; is ignored</source>
        <translation>パターンの並びは %1 文字で、奇数の長さです。最後の文字 &apos;%2&apos; は無視されます</translation>
    </message>
    <message>
        <extracomment>LayerOddLength</extracomment>
        <source>the layer sequence has an odd length (%1 characters): its last character &apos;%2&apos; is ignored</source>
        <translation>レイヤの並びは %1 文字で、奇数の長さです。最後の文字 &apos;%2&apos; は無視されます</translation>
    </message>
    <message>
        <extracomment>DestinationOddLength</extracomment>
        <source>the destination sequence has an odd length (%1 characters): its last character &apos;%2&apos; is ignored</source>
        <translation>転送先の並びは %1 文字で、奇数の長さです。最後の文字 &apos;%2&apos; は無視されます</translation>
    </message>
    <message>
        <extracomment>PatternTooLong</extracomment>
        <source>the pattern sequence has %1 entries: only the first 255 are stored</source>
        <translation>パターンのセルが %1 個あります。登録されるのは最初の 255 個だけです</translation>
    </message>
    <message>
        <extracomment>LayerTooLong</extracomment>
        <source>the layer sequence has %1 entries: only the first 255 are stored</source>
        <translation>レイヤのセルが %1 個あります。登録されるのは最初の 255 個だけです</translation>
    </message>
    <message>
        <extracomment>DestinationTooLong</extracomment>
        <source>the destination sequence has %1 entries: only the first 255 are stored</source>
        <translation>転送先のセルが %1 個あります。登録されるのは最初の 255 個だけです</translation>
    </message>
    <message>
        <extracomment>CelUndefined</extracomment>
        <source>cel %1 is used, but no cel line defines it</source>
        <translation>セル %1 が使われていますが、どのセルの行でも定義されていません</translation>
    </message>
    <message>
        <extracomment>CelOutsideSheet</extracomment>
        <source>cel %1 (%2, %3, %4 × %5) does not lie within the sheet (%6 × %7), so it is not drawn</source>
        <translation>セル %1（%2, %3, %4 × %5）がシート（%6 × %7）からはみ出しているため、描画されません</translation>
    </message>
    <message>
        <extracomment>CelWithoutSize</extracomment>
        <source>cel %1 (%2, %3, %4 × %5) has no width or no height, so it draws nothing</source>
        <translation>セル %1（%2, %3, %4 × %5）は幅か高さが 0 なので、何も描画されません</translation>
    </message>
    <message>
        <extracomment>MoreWarnings</extracomment>
        <source>%1 more warnings are not listed</source>
        <translation>ほかに %1 件の警告があります（表示していません）</translation>
    </message>
    <message>
        <extracomment>SheetEmpty</extracomment>
        <source>the sheet %1 is an empty file (its save not finished?), so nothing is drawn</source>
        <translation>シート %1 は空のファイルです（保存が終わっていない？）。何も描画されません</translation>
    </message>
    <message>
        <extracomment>CelLargerThanView</extracomment>
        <source>cel %1 (%2, %3, %4 × %5) is larger than the view (%6 × %7), so it is not drawn as a background or pattern cel</source>
        <translation>セル %1（%2, %3, %4 × %5）は表示領域（%6 × %7）より大きいため、背景やパターンのセルとしては描画されません</translation>
    </message>
    <message>
        <extracomment>LayerShorterOneEntryOneFrame</extracomment>
        <source>the layer of state %1 is shorter than its pattern, 1 entry against %2: frame %3 shows no layer cel (give both as many entries)</source>
        <translation>状態 %1 のレイヤは 1 個で、パターンの %2 個より短くなっています。%3 コマ目にはレイヤのセルが表示されません（両方を同じ個数にしてください）</translation>
    </message>
    <message>
        <extracomment>LayerShorterOneEntryFrames</extracomment>
        <source>the layer of state %1 is shorter than its pattern, 1 entry against %2: frames %3–%4 show no layer cel (give both as many entries)</source>
        <translation>状態 %1 のレイヤは 1 個で、パターンの %2 個より短くなっています。%3–%4 コマ目にはレイヤのセルが表示されません（両方を同じ個数にしてください）</translation>
    </message>
    <message>
        <extracomment>LayerShorterOneFrame</extracomment>
        <source>the layer of state %1 is shorter than its pattern, %2 entries against %3: frame %4 shows no layer cel (give both as many entries)</source>
        <translation>状態 %1 のレイヤは %2 個で、パターンの %3 個より短くなっています。%4 コマ目にはレイヤのセルが表示されません（両方を同じ個数にしてください）</translation>
    </message>
    <message>
        <extracomment>LayerShorterFrames</extracomment>
        <source>the layer of state %1 is shorter than its pattern, %2 entries against %3: frames %4–%5 show no layer cel (give both as many entries)</source>
        <translation>状態 %1 のレイヤは %2 個で、パターンの %3 個より短くなっています。%4–%5 コマ目にはレイヤのセルが表示されません（両方を同じ個数にしてください）</translation>
    </message>
    <message>
        <extracomment>LayerLongerOneFrame</extracomment>
        <source>the layer of state %1 is longer than its pattern, %2 entries against %3: the state plays %2 frames, and frame %4 shows no pattern cel (give both as many entries)</source>
        <translation>状態 %1 のレイヤは %2 個で、パターンの %3 個より長くなっています。この状態は %2 コマ再生され、%4 コマ目にはパターンのセルが表示されません（両方を同じ個数にしてください）</translation>
    </message>
    <message>
        <extracomment>LayerLongerFrames</extracomment>
        <source>the layer of state %1 is longer than its pattern, %2 entries against %3: the state plays %2 frames, and frames %4–%5 show no pattern cel (give both as many entries)</source>
        <translation>状態 %1 のレイヤは %2 個で、パターンの %3 個より長くなっています。この状態は %2 コマ再生され、%4–%5 コマ目にはパターンのセルが表示されません（両方を同じ個数にしてください）</translation>
    </message>
    <message>
        <extracomment>NoSheetLine</extracomment>
        <source>no #CHARBMP line names the sprite sheet, so the cels have no picture and the view stays black, or keeps the sheet of the file shown before (add a line such as #CHARBMP chara.bmp)</source>
        <translation>シートを指定する #CHARBMP の行がないため、セルに画像がありません。表示領域は黒いままか、前に表示したファイルのシートのままになります（#CHARBMP chara.bmp のような行を加えてください）</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <extracomment>AsepriteJsonUnreadable</extracomment>
        <source>The JSON file &apos;%1&apos; cannot be read</source>
        <translation>JSON ファイル &apos;%1&apos; を読み込めません</translation>
    </message>
    <message>
        <extracomment>AsepriteJsonTooLarge</extracomment>
        <source>The JSON file &apos;%1&apos; is larger than %2 bytes, too large for a sprite-sheet description</source>
        <translation>JSON ファイル &apos;%1&apos; は %2 バイトを超えています。スプライトシートの記述としては大きすぎます</translation>
    </message>
    <message>
        <extracomment>AsepriteJsonMalformed</extracomment>
        <source>The text is not valid JSON: %1</source>
        <translation>テキストが正しい JSON ではありません: %1</translation>
    </message>
    <message>
        <extracomment>AsepriteNotASheetDescription</extracomment>
        <source>The JSON text should be an object holding frames and meta, not %1</source>
        <translation>JSON のテキストは %1 ではなく、frames と meta を持つオブジェクトでなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteMissingKey</extracomment>
        <source>%1 is missing</source>
        <translation>%1 がありません</translation>
    </message>
    <message>
        <extracomment>AsepriteNotAnObject</extracomment>
        <source>%1 should be an object {...}, not %2</source>
        <translation>%1 は %2 ではなく、オブジェクト {...} でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteNotAnArray</extracomment>
        <source>%1 should be an array [...], not %2</source>
        <translation>%1 は %2 ではなく、配列 [...] でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteNotAString</extracomment>
        <source>%1 should be a string, not %2</source>
        <translation>%1 は %2 ではなく、文字列でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteNotAWholeNumber</extracomment>
        <source>%1 should be a whole number, not %2</source>
        <translation>%1 は %2 ではなく、整数でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteNotANumber</extracomment>
        <source>%1 should be a number, not %2</source>
        <translation>%1 は %2 ではなく、数値でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteNotABoolean</extracomment>
        <source>%1 should be true or false, not %2</source>
        <translation>%1 は %2 ではなく、true か false でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteFramesNotObjectOrArray</extracomment>
        <source>frames should be an object keyed by file name or an array of frames, not %1</source>
        <translation>frames は %1 ではなく、ファイル名をキーとするオブジェクトか、フレームの配列でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteNoFrames</extracomment>
        <source>frames holds no frame</source>
        <translation>frames にフレームが 1 つもありません</translation>
    </message>
    <message>
        <extracomment>AsepriteOutOfRange</extracomment>
        <source>%1 is %2, but must lie between %3 and %4</source>
        <translation>%1 は %2 ですが、%3 から %4 の間でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteEmptyImageName</extracomment>
        <source>%1, the sheet picture&apos;s file name, is empty</source>
        <translation>シート画像のファイル名 %1 が空です</translation>
    </message>
    <message>
        <extracomment>AsepriteSheetNameHasBlank</extracomment>
        <source>The sheet&apos;s path &apos;%1&apos; holds a blank, where a character file&apos;s sheet name ends; rename the picture or its folder</source>
        <translation>シートのパス &apos;%1&apos; に空白があります。キャラクタファイルではシート名が空白のところで終わるため、画像かそのフォルダの名前を変えてください</translation>
    </message>
    <message>
        <extracomment>AsepriteSheetNameHasControl</extracomment>
        <source>The sheet&apos;s path &apos;%1&apos; holds a control character; rename the picture</source>
        <translation>シートのパス &apos;%1&apos; に制御文字があります。画像の名前を変えてください</translation>
    </message>
    <message>
        <extracomment>AsepriteSheetNotRelative</extracomment>
        <source>The sheet &apos;%1&apos; cannot be named relative to the folder &apos;%2&apos;, where the character file goes</source>
        <translation>シート &apos;%1&apos; は、キャラクタファイルを置くフォルダ &apos;%2&apos; からの相対パスで表せません</translation>
    </message>
    <message>
        <extracomment>AsepriteTrimmedFrame</extracomment>
        <source>%1 is trimmed (spriteSourceSize is not the whole sourceSize); export the sheet untrimmed, since a pattern cel is drawn at the view&apos;s top-left corner</source>
        <translation>%1 はトリミングされています（spriteSourceSize が sourceSize 全体ではありません）。パターンのセルは表示領域の左上に描かれるため、トリミングせずにシートを書き出してください</translation>
    </message>
    <message>
        <extracomment>AsepriteRotatedFrame</extracomment>
        <source>%1 is rotated; export the sheet without rotation, since cels are copied as they lie</source>
        <translation>%1 は回転されています。セルはシート上の向きのままコピーされるため、回転なしでシートを書き出してください</translation>
    </message>
    <message>
        <extracomment>AsepriteTooManyCels</extracomment>
        <source>The sheet has %1 different frame rectangles, but a character file holds at most %2 (cels 2 to 255; cel 1 is the view&apos;s background)</source>
        <translation>シートには位置や大きさの異なるフレームが %1 個ありますが、キャラクタファイルに入るのは %2 個までです（セル 2 から 255。セル 1 は表示領域の背景です）</translation>
    </message>
    <message>
        <extracomment>AsepriteTagEndsBeforeStart</extracomment>
        <source>%1 is %2, before the tag&apos;s first frame %3</source>
        <translation>%1 が %2 で、タグの最初のフレーム %3 より前です</translation>
    </message>
    <message>
        <extracomment>AsepriteUnknownDirection</extracomment>
        <source>%1 is %2, not forward, reverse, pingpong or pingpong_reverse</source>
        <translation>%1 が %2 です。forward、reverse、pingpong、pingpong_reverse のどれかでなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteBadRepeat</extracomment>
        <source>%1 is %2, not a count of repetitions</source>
        <translation>%1 が %2 で、繰り返しの回数になっていません</translation>
    </message>
    <message>
        <extracomment>AsepriteBadMapping</extracomment>
        <source>The mapping &apos;%1&apos; is not TAG=STATE with a state number 0 to 30 or a state&apos;s name</source>
        <translation>対応付け &apos;%1&apos; が TAG=STATE の形になっていません（STATE は 0 から 30 の状態番号か、状態の名前）</translation>
    </message>
    <message>
        <extracomment>AsepriteBadInterval</extracomment>
        <source>The frame interval %1 ms must lie between %2 and %3</source>
        <translation>コマの間隔 %1 ms は %2 から %3 の間でなければなりません</translation>
    </message>
    <message>
        <extracomment>AsepriteUnknownTag</extracomment>
        <source>The tag &apos;%1&apos; names no state and is left out (map it with TAG=STATE)</source>
        <translation>タグ &apos;%1&apos; はどの状態にも当たらないため、取り込まれません（TAG=STATE で状態を対応付けてください）</translation>
    </message>
    <message>
        <extracomment>AsepriteDuplicateState</extracomment>
        <source>The tag &apos;%1&apos; gives state %2, which the tag &apos;%3&apos; already gives; the first is kept</source>
        <translation>タグ &apos;%1&apos; の状態 %2 は、すでにタグ &apos;%3&apos; に割り当てられているため、そちらが使われます</translation>
    </message>
    <message>
        <extracomment>AsepriteMappingUnused</extracomment>
        <source>No tag is named &apos;%1&apos;; the mapping &apos;%1=%2&apos; is not used</source>
        <translation>&apos;%1&apos; という名前のタグはないため、対応付け &apos;%1=%2&apos; は使われません</translation>
    </message>
    <message>
        <extracomment>AsepriteNoStates</extracomment>
        <source>No tag gives a state, so the character plays nothing</source>
        <translation>状態に当たるタグが 1 つもないため、キャラクタは何も再生しません</translation>
    </message>
    <message>
        <extracomment>AsepriteDurationRounded</extracomment>
        <source>%1 lasts %2 ms but plays as %3 ms (%4 × %5 ms)</source>
        <translation>%1 の長さは %2 ms ですが、%3 ms（%4 × %5 ms）で再生されます</translation>
    </message>
    <message>
        <extracomment>AsepriteSequenceCut</extracomment>
        <source>State %1 has %2 frames; only the first %3 are kept</source>
        <translation>状態 %1 には %2 コマありますが、残るのは最初の %3 コマだけです</translation>
    </message>
    <message>
        <extracomment>AsepriteFrameLargerThanView</extracomment>
        <source>%1 is %2 × %3 pixels, larger than the view&apos;s %4 × %5, so it is not drawn</source>
        <translation>%1 は %2 × %3 ピクセルで、表示領域の %4 × %5 より大きいため、描画されません</translation>
    </message>
    <message>
        <extracomment>AsepriteSheetMissing</extracomment>
        <source>The sheet &apos;%1&apos; does not exist (yet)</source>
        <translation>シート &apos;%1&apos; は（まだ）ありません</translation>
    </message>
    <message>
        <extracomment>AsepriteSheetExtension</extracomment>
        <source>The sheet &apos;%1&apos; is not a .png, .bmp or .dib picture, which the viewer reads; convert it</source>
        <translation>シート &apos;%1&apos; は、ビューアが読める .png、.bmp、.dib の画像ではありません。変換してください</translation>
    </message>
    <message>
        <extracomment>AsepriteNameBlanksReplaced</extracomment>
        <source>The character name &apos;%1&apos; holds blanks, where a character file&apos;s name ends; it is written as &apos;%2&apos;</source>
        <translation>キャラクタ名 &apos;%1&apos; に空白があります。キャラクタファイルでは名前が空白のところで終わるため、&apos;%2&apos; として書き出します</translation>
    </message>
    <message>
        <extracomment>AsepriteJsonCutShort</extracomment>
        <source>The JSON text ends before it is complete, so the file may still be being written: %1</source>
        <translation>JSON テキストが途中で終わっています。ファイルはまだ書き込み中かもしれません: %1</translation>
    </message>
    <message>
        <extracomment>AsepriteSheetNotFound</extracomment>
        <source>The sheet &apos;%1&apos; that meta.image names does not exist; export the sheet picture together with its JSON</source>
        <translation>meta.image が指定するシート &apos;%1&apos; はありません。シートの画像を JSON といっしょに書き出してください</translation>
    </message>
    <message>
        <extracomment>AsepriteOutputIsSource</extracomment>
        <source>&apos;%1&apos; is the JSON file or its sheet picture; write the character file under another name</source>
        <translation>&apos;%1&apos; は JSON ファイルかそのシートの画像です。キャラクタファイルは別の名前で保存してください</translation>
    </message>
</context>
</TS>
