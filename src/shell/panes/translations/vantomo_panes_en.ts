<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Panes</name>
    <message>
        <source>整数を入力してください。</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>数字を入力してください。</source>
        <translation>Please enter a number.</translation>
    </message>
    <message>
        <source>同名のアイテムが存在します！</source>
        <translation>An item with the same name already exists!</translation>
    </message>
    <message>
        <source>Shift-JIS (CP932) で表せない文字は名前に使えません。</source>
        <translation>A name can only hold characters of Shift-JIS (CP932).</translation>
    </message>
    <message>
        <source>Shift-JIS (CP932) で表せない文字を含むファイル名はテクスチャに使えません。</source>
        <translation>A texture file name can only hold characters of Shift-JIS (CP932).</translation>
    </message>
    <message>
        <source>Metasequoiaフォーマットで保存</source>
        <translation>Save in Metasequoia Format</translation>
    </message>
    <message>
        <source>XAMLフォーマットで保存</source>
        <translation>Save in XAML Format</translation>
    </message>
    <message>
        <source>glTFフォーマットで保存</source>
        <translation>Save in glTF Format</translation>
    </message>
</context>
<context>
    <name>vantomo::CAnimationListView</name>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ名</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>最後</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ追加(&amp;A)</source>
        <translation>&amp;Add Animation</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ削除(&amp;D)</source>
        <translation>&amp;Delete Animation</translation>
    </message>
    <message>
        <source>名前変更(&amp;R)</source>
        <translation>&amp;Rename</translation>
    </message>
</context>
<context>
    <name>vantomo::CDlgDelete</name>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑの削除</source>
        <translation>Delete Frames</translation>
    </message>
    <message>
        <source>始点</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>終点</source>
        <translation>End</translation>
    </message>
    <message>
        <source>～</source>
        <translation>to</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑを削除</source>
        <translation>: delete these frames</translation>
    </message>
</context>
<context>
    <name>vantomo::CDlgInsert</name>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑの挿入</source>
        <translation>Insert Frames</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑ目の後ろに</source>
        <translation>: after this frame, add</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑ追加</source>
        <translation>frames</translation>
    </message>
</context>
<context>
    <name>vantomo::CDlgKeyFrame</name>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙのｷｰﾌﾚｰﾑの追加・削除</source>
        <translation>Add or Delete Model Keys</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑ</source>
        <translation>frame</translation>
    </message>
    <message>
        <source>選択中のﾓﾃﾞﾙのｷｰﾌﾚｰﾑを追加</source>
        <translation>Add a key to the selected model</translation>
    </message>
    <message>
        <source>選択中のｷｬﾗｸﾀｰの全てのﾓﾃﾞﾙのｷｰﾌﾚｰﾑを追加</source>
        <translation>Add a key to every model of the selected character</translation>
    </message>
    <message>
        <source>選択中のﾓﾃﾞﾙのｷｰﾌﾚｰﾑを削除</source>
        <translation>Delete the key of the selected model</translation>
    </message>
    <message>
        <source>選択中のｷｬﾗｸﾀｰの全てのﾓﾃﾞﾙのｷｰﾌﾚｰﾑを削除</source>
        <translation>Delete the key of every model of the selected character</translation>
    </message>
</context>
<context>
    <name>vantomo::CDlgMaterial</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>材質設定</source>
        <translation>Material Settings</translation>
    </message>
    <message>
        <source>赤</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>緑</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>不透明度</source>
        <translation>Opacity</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>拡散光</source>
        <translation>Diffuse</translation>
    </message>
    <message>
        <source>自己照明</source>
        <translation>Emissive</translation>
    </message>
    <message>
        <source>反射光</source>
        <translation>Specular</translation>
    </message>
    <message>
        <source>反射の強さ</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>周囲光</source>
        <translation>Ambient</translation>
    </message>
    <message>
        <source>ﾃｸｽﾁｬ</source>
        <translation>Texture</translation>
    </message>
    <message>
        <source>全ての形式</source>
        <translation>All formats</translation>
    </message>
</context>
<context>
    <name>vantomo::CDlgSave</name>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝｷｰ</source>
        <translation>Animation keys</translation>
    </message>
    <message>
        <source>移動・回転・ｽｹｰﾙ</source>
        <translation>Move, rotate, scale</translation>
    </message>
    <message>
        <source>行列</source>
        <translation>Matrix</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ速度</source>
        <translation>Animation speed</translation>
    </message>
    <message>
        <source>1ﾌﾚｰﾑを</source>
        <translation>1 frame ×</translation>
    </message>
    <message>
        <source>倍</source>
        <translation>times</translation>
    </message>
    <message>
        <source>ﾃｸｽﾁｬのｸｵﾘﾃｨ</source>
        <translation>Texture quality</translation>
    </message>
    <message>
        <source>標準(ｻｲｽﾞ小)</source>
        <translation>Standard (smaller file)</translation>
    </message>
    <message>
        <source>高画質ﾃｸｽﾁｬ(ｻｲｽﾞ大)</source>
        <translation>High-quality texture (larger file)</translation>
    </message>
    <message>
        <source>UV座標</source>
        <translation>UV coordinates</translation>
    </message>
    <message>
        <source>法線</source>
        <translation>Normals</translation>
    </message>
    <message>
        <source>書き出す</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>ﾗｲﾄ</source>
        <translation>Lights</translation>
    </message>
    <message>
        <source>ｽｹｰﾙ</source>
        <translation>Scale</translation>
    </message>
</context>
<context>
    <name>vantomo::CDopeSheetView</name>
    <message>
        <source>現在のフレームにキーを追加(&amp;A)</source>
        <translation>&amp;Add Key at Current Frame</translation>
    </message>
</context>
<context>
    <name>vantomo::CHierarchyView</name>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ(&amp;M)</source>
        <translation>&amp;Model</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ追加(&amp;A)	Alt+X</source>
        <translation>&amp;Add Model	Alt+X</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ削除(&amp;D)	Alt+Delete</source>
        <translation>&amp;Delete Model	Alt+Delete</translation>
    </message>
    <message>
        <source>名前変更(&amp;C)	Alt+Z</source>
        <translation>Re&amp;name	Alt+Z</translation>
    </message>
    <message>
        <source>表示・非表示(&amp;V)	Alt+M</source>
        <translation>Show or &amp;Hide	Alt+M</translation>
    </message>
    <message>
        <source>ｷｬﾗｸﾀｰ(&amp;C)</source>
        <translation>&amp;Character</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ追加(&amp;A)</source>
        <translation>&amp;Add Model</translation>
    </message>
    <message>
        <source>ｷｬﾗｱｲﾃﾑ追加(&amp;I)</source>
        <translation>Add &amp;Character</translation>
    </message>
    <message>
        <source>ｷｬﾗｱｲﾃﾑ削除(&amp;D)</source>
        <translation>&amp;Delete Character</translation>
    </message>
    <message>
        <source>名前変更(&amp;C)</source>
        <translation>Re&amp;name</translation>
    </message>
    <message>
        <source>ｷｬﾗｱｲﾃﾑ追加(&amp;A)</source>
        <translation>&amp;Add Character</translation>
    </message>
</context>
<context>
    <name>vantomo::CMaterialView</name>
    <message>
        <source>ﾏﾃﾘｱﾙ名</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>色</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>色(&amp;C)</source>
        <translation>&amp;Color</translation>
    </message>
    <message>
        <source>名前変更(&amp;R)</source>
        <translation>&amp;Rename</translation>
    </message>
</context>
</TS>