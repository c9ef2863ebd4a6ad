<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>Menus</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>ｷｬﾗｸﾀ(&amp;C)</source>
        <translation>&amp;Character</translation>
    </message>
    <message>
        <source>ﾏｳｽ(&amp;O)</source>
        <translation>M&amp;ouse</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ(&amp;T)</source>
        <translation>Anima&amp;tion</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>オニオンスキンの範囲(&amp;R)</source>
        <translation>Onion Skin &amp;Range</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>新規作成(&amp;N)	Ctrl+N</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>開く(&amp;O)...	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...	Ctrl+A</source>
        <translation>Save &amp;As...	Ctrl+A</translation>
    </message>
    <message>
        <source>動画の書き出し(&amp;V)...</source>
        <translation>Export Animation &amp;Video...</translation>
    </message>
    <message>
        <source>最近使ったﾌｧｲﾙ</source>
        <translation>Recent File</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>繰り返す(&amp;R)	Ctrl+Y</source>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <source>元に戻す: %1(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo %1	Ctrl+Z</translation>
    </message>
    <message>
        <source>繰り返す: %1(&amp;R)	Ctrl+Y</source>
        <translation>&amp;Redo %1	Ctrl+Y</translation>
    </message>
    <message>
        <source>全アニメーションのコピー(&amp;C)</source>
        <translation>&amp;Copy Animation</translation>
    </message>
    <message>
        <source>全アニメーションの貼り付け(&amp;P)</source>
        <translation>&amp;Paste Animation</translation>
    </message>
    <message>
        <source>ﾏｳｽでｶﾒﾗを操作(&amp;C)	Ctrl+C</source>
        <translation>Mouse Moves &amp;Camera	Ctrl+C</translation>
    </message>
    <message>
        <source>ﾏｳｽでﾓﾃﾞﾙを操作(&amp;M)</source>
        <translation>Mouse Moves &amp;Model</translation>
    </message>
    <message>
        <source>ﾏｳｽでｱﾆﾒｰｼｮﾝを操作(&amp;A)	Ctrl+M</source>
        <translation>Mouse Edits &amp;Animation	Ctrl+M</translation>
    </message>
    <message>
        <source>移動(&amp;M)	Ctrl+V</source>
        <translation>Mo&amp;ve	Ctrl+V</translation>
    </message>
    <message>
        <source>回転(&amp;R)	Ctrl+R</source>
        <translation>&amp;Rotate	Ctrl+R</translation>
    </message>
    <message>
        <source>拡大(&amp;E)	Ctrl+L</source>
        <translation>Scal&amp;e	Ctrl+L</translation>
    </message>
    <message>
        <source>再生(&amp;P)	Ctrl+B</source>
        <translation>&amp;Play	Ctrl+B</translation>
    </message>
    <message>
        <source>停止(&amp;S)	Ctrl+D</source>
        <translation>&amp;Stop	Ctrl+D</translation>
    </message>
    <message>
        <source>1ﾌﾚｰﾑ進む(&amp;N)	Ctrl+E</source>
        <translation>&amp;Next Frame	Ctrl+E</translation>
    </message>
    <message>
        <source>1ﾌﾚｰﾑ戻る(&amp;P)	Ctrl+F</source>
        <translation>Pre&amp;vious Frame	Ctrl+F</translation>
    </message>
    <message>
        <source>次のｷｰﾌﾚｰﾑ(&amp;C)	Ctrl+G</source>
        <translation>Next &amp;Key Frame	Ctrl+G</translation>
    </message>
    <message>
        <source>前のｷｰﾌﾚｰﾑ(&amp;B)	Ctrl+H</source>
        <translation>P&amp;revious Key Frame	Ctrl+H</translation>
    </message>
    <message>
        <source>最初のﾌﾚｰﾑ(&amp;F)	Ctrl+I</source>
        <translation>&amp;First Frame	Ctrl+I</translation>
    </message>
    <message>
        <source>最後のﾌﾚｰﾑ(&amp;L)	Ctrl+J</source>
        <translation>&amp;Last Frame	Ctrl+J</translation>
    </message>
    <message>
        <source>ｷｰﾌﾚｰﾑの追加・削除(&amp;K)	Ctrl+K</source>
        <translation>Add &amp;or Delete Key Frame...	Ctrl+K</translation>
    </message>
    <message>
        <source>選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&amp;A)	Ctrl+P</source>
        <translation>&amp;Add Key to Selected Model	Ctrl+P</translation>
    </message>
    <message>
        <source>全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&amp;Y)	Ctrl+Q</source>
        <translation>Add Ke&amp;y to All Models	Ctrl+Q</translation>
    </message>
    <message>
        <source>選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&amp;D)	Ctrl+T</source>
        <translation>&amp;Delete Key of Selected Model	Ctrl+T</translation>
    </message>
    <message>
        <source>全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&amp;E)	Ctrl+U</source>
        <translation>D&amp;elete Key of All Models	Ctrl+U</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑを挿入(&amp;G)	Alt+R</source>
        <translation>&amp;Insert Frames...	Alt+R</translation>
    </message>
    <message>
        <source>ﾌﾚｰﾑを削除(&amp;H)	Alt+U</source>
        <translation>Delete Fra&amp;mes...	Alt+U</translation>
    </message>
    <message>
        <source>ｽﾑｰｽﾞ･ｼｪｰﾃﾞｨﾝｸﾞ(&amp;S)	Alt+P</source>
        <translation>&amp;Smooth Shading	Alt+P</translation>
    </message>
    <message>
        <source>ｶﾒﾗの初期化(&amp;I)	Alt+W</source>
        <translation>&amp;Initialize Camera	Alt+W</translation>
    </message>
    <message>
        <source>背景色(&amp;C)	Alt+N</source>
        <translation>Background &amp;Color...	Alt+N</translation>
    </message>
    <message>
        <source>ﾚｼﾞｽﾄﾘの削除(&amp;U)</source>
        <translation>&amp;Unregister File Type</translation>
    </message>
    <message>
        <source>English(&amp;E)	Alt+L</source>
        <translation>&amp;Japanese	Alt+L</translation>
    </message>
    <message>
        <source>ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ(&amp;M)	Alt+A</source>
        <translation>&amp;Main Toolbar	Alt+A</translation>
    </message>
    <message>
        <source>ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ(&amp;C)	Alt+B</source>
        <translation>Con&amp;trol Toolbar	Alt+B</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ ﾊﾞｰ(&amp;S)	Alt+J</source>
        <translation>Status &amp;Bar	Alt+J</translation>
    </message>
    <message>
        <source>ドープシート(&amp;D)</source>
        <translation>&amp;Dope Sheet</translation>
    </message>
    <message>
        <source>目次(&amp;H)	Alt+I</source>
        <translation>&amp;Help Topics	Alt+I</translation>
    </message>
    <message>
        <source>Metasequoiaのホームページ(&amp;M)	Alt+G</source>
        <translation>&amp;Metasequoia Home Page	Alt+G</translation>
    </message>
    <message>
        <source>Vantomo のﾊﾞｰｼﾞｮﾝ情報(&amp;A)...	Alt+Q</source>
        <translation>&amp;About Vantomo...	Alt+Q</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ追加(&amp;A)	Alt+X</source>
        <translation>&amp;Add Model...	Alt+X</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ削除(&amp;D)	Alt+Delete</source>
        <translation>&amp;Delete Model	Alt+Delete</translation>
    </message>
    <message>
        <source>名前変更(&amp;C)	Alt+Z</source>
        <translation>Re&amp;name Model	Alt+Z</translation>
    </message>
    <message>
        <source>表示・非表示(&amp;V)	Alt+M</source>
        <translation>Show or &amp;Hide Model	Alt+M</translation>
    </message>
    <message>
        <source>ｷｬﾗｱｲﾃﾑ追加(&amp;I)</source>
        <translation>Add &amp;Character</translation>
    </message>
    <message>
        <source>ｷｬﾗｱｲﾃﾑ削除(&amp;D)</source>
        <translation>D&amp;elete Character</translation>
    </message>
    <message>
        <source>名前変更(&amp;C)</source>
        <translation>Rena&amp;me Character</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ追加(&amp;A)</source>
        <translation>Add Anima&amp;tion</translation>
    </message>
    <message>
        <source>ｱﾆﾒｰｼｮﾝ削除(&amp;D)</source>
        <translation>De&amp;lete Animation</translation>
    </message>
    <message>
        <source>名前変更(&amp;R)</source>
        <translation>&amp;Rename Animation</translation>
    </message>
    <message>
        <source>色(&amp;C)</source>
        <translation>&amp;Color...</translation>
    </message>
    <message>
        <source>全体表示(&amp;A)	Home</source>
        <translation>Frame &amp;All	Home</translation>
    </message>
    <message>
        <source>選択部分を表示(&amp;F)	F</source>
        <translation>&amp;Frame Selected	F</translation>
    </message>
    <message>
        <source>オニオンスキン(&amp;O)</source>
        <translation>&amp;Onion Skin</translation>
    </message>
    <message>
        <source>前後のキーフレーム(&amp;K)</source>
        <translation>Previous and Next &amp;Key</translation>
    </message>
    <message>
        <source>前後1フレーム(&amp;1)</source>
        <translation>&amp;1 Frame Each Way</translation>
    </message>
    <message>
        <source>前後2フレーム(&amp;2)</source>
        <translation>&amp;2 Frames Each Way</translation>
    </message>
    <message>
        <source>前後3フレーム(&amp;3)</source>
        <translation>&amp;3 Frames Each Way</translation>
    </message>
</context>
<context>
    <name>ToolBar</name>
    <message>
        <source>新規</source>
        <translation>New</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>ｶﾒﾗ</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>ﾓﾃﾞﾙ</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>ｱﾆﾒ</source>
        <translation>Animate</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>回転</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>陰影</source>
        <translation>Shading</translation>
    </message>
    <message>
        <source>ｵﾆｵﾝ</source>
        <translation>Onion</translation>
    </message>
    <message>
        <source>最初</source>
        <translation>First</translation>
    </message>
    <message>
        <source>前ｷｰ</source>
        <translation>Prev Key</translation>
    </message>
    <message>
        <source>前</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>次</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>次ｷｰ</source>
        <translation>Next Key</translation>
    </message>
    <message>
        <source>最後</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>ｷｰ</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>全追</source>
        <translation>Add All</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>全削</source>
        <translation>Delete All</translation>
    </message>
    <message>
        <source>挿入</source>
        <translation>Insert</translation>
    </message>
    <message>
        <source>ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ</source>
        <translation>Main Toolbar</translation>
    </message>
    <message>
        <source>ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ</source>
        <translation>Control Toolbar</translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>ﾚﾃﾞｨ</source>
        <translation>Ready</translation>
    </message>
</context>
<context>
    <name>ControlPanel</name>
    <message>
        <source>度</source>
        <translation>Deg</translation>
    </message>
    <message>
        <source>現在のﾌﾚｰﾑ</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>最後のﾌﾚｰﾑ</source>
        <translation>Last Frame</translation>
    </message>
    <message>
        <source>1秒間のﾌﾚｰﾑ数</source>
        <translation>Frames/Second</translation>
    </message>
</context>
<context>
    <name>About</name>
    <message>
        <source>Vantomoのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Vantomo</translation>
    </message>
</context>
<context>
    <name>VantomoView</name>
    <message>
        <source>OpenGL 3.3 が使えないため、3D ビューを表示できません。</source>
        <translation>The 3D view cannot be shown: OpenGL 3.3 is not available.</translation>
    </message>
</context>
<context>
    <name>Filters</name>
    <message>
        <source>Metasequoiaファイル(*.mqo)|*.mqo|</source>
        <translation>Metasequoia Files(*.mqo)|*.mqo|</translation>
    </message>
    <message>
        <source>全ての形式(*.vtm;*.mqo)|*.vtm;*.mqo|Vantomoファイル(*.vtm)|*.vtm|Metasequoiaファイル(*.mqo)|*.mqo|</source>
        <translation>All Formats(*.vtm;*.mqo)|*.vtm;*.mqo|Vantomo Files(*.vtm)|*.vtm|Metasequoia Files(*.mqo)|*.mqo|</translation>
    </message>
    <message>
        <source>Vantomoファイル(*.vtm)|*.vtm|xamlファイル(*.xaml)|*.xaml|Metasequoiaファイル(*.mqo)|*.mqo|glTFファイル(*.gltf;*.glb)|*.gltf;*.glb|</source>
        <translation>Vantomo Files(*.vtm)|*.vtm|XAML Files(*.xaml)|*.xaml|Metasequoia Files(*.mqo)|*.mqo|glTF Files(*.gltf;*.glb)|*.gltf;*.glb|</translation>
    </message>
    <message>
        <source>MP4 動画(*.mp4)|*.mp4|WebM 動画(*.webm)|*.webm|GIF アニメーション(*.gif)|*.gif|</source>
        <translation>MP4 Video(*.mp4)|*.mp4|WebM Video(*.webm)|*.webm|GIF Animation(*.gif)|*.gif|</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>%1 への変更を保存しますか?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>レジストリを削除しました。</source>
        <translation>The file type registration was removed.</translation>
    </message>
    <message>
        <source>ドキュメントを開くことに失敗しました。</source>
        <translation>Failed to open the document.</translation>
    </message>
    <message>
        <source>ドキュメントの保存に失敗しました。</source>
        <translation>Failed to save the document.</translation>
    </message>
    <message>
        <source>予期しないファイル形式です。</source>
        <translation>Unexpected file format.</translation>
    </message>
    <message>
        <source>ファイルを開いています...</source>
        <translation>Opening the file...</translation>
    </message>
    <message>
        <source>モデルを読み込んでいます...</source>
        <translation>Reading the model...</translation>
    </message>
    <message>
        <source>保存しています...</source>
        <translation>Saving...</translation>
    </message>
    <message>
        <source>書き出しています...</source>
        <translation>Exporting...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>モデルを選択してください！</source>
        <translation>Please select a model!</translation>
    </message>
    <message>
        <source>このファイル形式では保存できません。</source>
        <translation>Cannot save in this file format.</translation>
    </message>
    <message>
        <source>次のテクスチャは書き出せませんでした:</source>
        <translation>These textures could not be written:</translation>
    </message>
    <message>
        <source>フレーム番号が範囲外です！</source>
        <translation>The frame number is out of range!</translation>
    </message>
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
        <translation>An item with the same name exists!</translation>
    </message>
    <message>
        <source>XAMLファイルへの書き出しに失敗しました。</source>
        <translation>Failed to write the XAML file.</translation>
    </message>
    <message>
        <source>Metasequoiaファイルへの書き出しに失敗しました。</source>
        <translation>Failed to write the Metasequoia file.</translation>
    </message>
    <message>
        <source>glTFファイルへの書き出しに失敗しました。</source>
        <translation>Failed to write the glTF file.</translation>
    </message>
    <message>
        <source>ファイルが見つからないか、この画像ファイルには対応していません！</source>
        <translation>The file was not found, or this image format is not supported!</translation>
    </message>
    <message>
        <source>倍率は0より大きい有限の数でなければなりません。</source>
        <translation>The scale must be a finite number greater than 0.</translation>
    </message>
    <message>
        <source>シーンが大きすぎるため、.glbに書き出せません（4 GiBまで）。.gltfで書き出してください。</source>
        <translation>The scene is too large for .glb (4 GiB at most). Export it as .gltf.</translation>
    </message>
    <message>
        <source>フレームレートが正しくないため、glTFに書き出せません。</source>
        <translation>The frame rate is invalid, so glTF cannot be written.</translation>
    </message>
    <message>
        <source>この名前は使えない文字を含んでいます。</source>
        <translation>This name contains characters that cannot be used.</translation>
    </message>
    <message>
        <source>次のオブジェクトは読み込めなかったため、取り込みませんでした:</source>
        <translation>These objects could not be read and were left out:</translation>
    </message>
    <message>
        <source>次のオブジェクトには使える面がないため、モデルを作れませんでした:</source>
        <translation>No model could be made from these objects, as they have no usable faces:</translation>
    </message>
    <message>
        <source>動画の書き出し</source>
        <translation>Export Animation Video</translation>
    </message>
    <message>
        <source>動画を書き出せませんでした。</source>
        <translation>The video could not be written.</translation>
    </message>
    <message>
        <source>3D ビューが使えないため、動画を書き出せません。</source>
        <translation>The video cannot be written: the 3D view is not available.</translation>
    </message>
    <message>
        <source>ヘルプを表示するブラウザーを起動できませんでした。次のファイルをブラウザーで開いてください:
%1</source>
        <translation>No browser could be started to show the help. Open this file in a browser:
%1</translation>
    </message>
    <message>
        <source>キーを選択してください！</source>
        <translation>Please select keys!</translation>
    </message>
    <message>
        <source>キーではないフレームが選ばれています！</source>
        <translation>A frame that is not a key is selected!</translation>
    </message>
    <message>
        <source>移動先に別のキーがあります！</source>
        <translation>Another key is in the way!</translation>
    </message>
    <message>
        <source>貼り付けるキーがありません！</source>
        <translation>There are no keys to paste!</translation>
    </message>
    <message>
        <source>貼り付け先のモデルが決まりません！</source>
        <translation>The models to paste onto cannot be matched!</translation>
    </message>
    <message>
        <source>キーの移動</source>
        <translation>Move Keys</translation>
    </message>
    <message>
        <source>キーの貼り付け</source>
        <translation>Paste Keys</translation>
    </message>
    <message>
        <source>キーの削除</source>
        <translation>Delete Keys</translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>新しいドキュメントを作成します</source>
        <translation>Create a new document</translation>
    </message>
    <message>
        <source>プロジェクトを開くか、Metasequoiaファイルを読み込みます</source>
        <translation>Open a project, or read a Metasequoia file into the scene</translation>
    </message>
    <message>
        <source>ドキュメントを上書き保存します</source>
        <translation>Save the document</translation>
    </message>
    <message>
        <source>名前を付けて保存するか、XAML・Metasequoia・glTF形式で書き出します</source>
        <translation>Save the document under a new name, or export it as XAML, Metasequoia or glTF</translation>
    </message>
    <message>
        <source>アニメーションを動画かGIFアニメーションに書き出します</source>
        <translation>Export the animation as a video or an animated GIF</translation>
    </message>
    <message>
        <source>このファイルを開きます</source>
        <translation>Open this file</translation>
    </message>
    <message>
        <source>アプリケーションを終了します</source>
        <translation>Quit the program</translation>
    </message>
    <message>
        <source>直前の操作を元に戻します</source>
        <translation>Undo the last action</translation>
    </message>
    <message>
        <source>元に戻した操作をやり直します</source>
        <translation>Redo the action undone</translation>
    </message>
    <message>
        <source>選択モデルの現在のアニメーションをコピーします</source>
        <translation>Copy the selected model's current animation</translation>
    </message>
    <message>
        <source>コピーしたアニメーションを選択モデルに貼り付けます</source>
        <translation>Paste the copied animation onto the selected model</translation>
    </message>
    <message>
        <source>マウスでカメラを操作します</source>
        <translation>The mouse moves the camera</translation>
    </message>
    <message>
        <source>マウスでモデルを操作します</source>
        <translation>The mouse moves the model</translation>
    </message>
    <message>
        <source>マウスで選択モデルのアニメーションを編集します</source>
        <translation>The mouse edits the selected model's animation</translation>
    </message>
    <message>
        <source>マウスと数値で位置を変えます</source>
        <translation>Change the position with the mouse and the fields</translation>
    </message>
    <message>
        <source>マウスと数値で回転を変えます</source>
        <translation>Change the rotation with the mouse and the fields</translation>
    </message>
    <message>
        <source>マウスと数値で大きさを変えます</source>
        <translation>Change the size with the mouse and the fields</translation>
    </message>
    <message>
        <source>アニメーションを再生します</source>
        <translation>Play the animation</translation>
    </message>
    <message>
        <source>再生を止めます</source>
        <translation>Stop playing</translation>
    </message>
    <message>
        <source>次のフレームへ進みます</source>
        <translation>Go to the next frame</translation>
    </message>
    <message>
        <source>前のフレームへ戻ります</source>
        <translation>Go to the previous frame</translation>
    </message>
    <message>
        <source>次のキーフレームへ進みます</source>
        <translation>Go to the next key frame</translation>
    </message>
    <message>
        <source>前のキーフレームへ戻ります</source>
        <translation>Go to the previous key frame</translation>
    </message>
    <message>
        <source>最初のフレームへ移ります</source>
        <translation>Go to the first frame</translation>
    </message>
    <message>
        <source>最後のフレームへ移ります</source>
        <translation>Go to the last frame</translation>
    </message>
    <message>
        <source>フレームを選んでキーフレームを追加・削除します</source>
        <translation>Choose a frame and add or delete key frames there</translation>
    </message>
    <message>
        <source>選択モデルの現在のフレームにキーフレームを追加します</source>
        <translation>Add a key frame to the selected model at the current frame</translation>
    </message>
    <message>
        <source>選択キャラクターの全モデルの現在のフレームにキーフレームを追加します</source>
        <translation>Add a key frame to every model of the selected character at the current frame</translation>
    </message>
    <message>
        <source>選択モデルの現在のフレームのキーフレームを削除します</source>
        <translation>Delete the selected model's key frame at the current frame</translation>
    </message>
    <message>
        <source>選択キャラクターの全モデルの現在のフレームのキーフレームを削除します</source>
        <translation>Delete the key frames of every model of the selected character at the current frame</translation>
    </message>
    <message>
        <source>フレームを挿入します</source>
        <translation>Insert frames</translation>
    </message>
    <message>
        <source>フレームを削除します</source>
        <translation>Delete frames</translation>
    </message>
    <message>
        <source>スムーズ・シェーディングとフラット・シェーディングを切り替えます</source>
        <translation>Switch between smooth and flat shading</translation>
    </message>
    <message>
        <source>カメラを最初の位置と向きに戻します</source>
        <translation>Put the camera back where it started</translation>
    </message>
    <message>
        <source>背景色を選びます</source>
        <translation>Choose the background color</translation>
    </message>
    <message>
        <source>表示中のモデル全体がビューに入るようにカメラを動かします</source>
        <translation>Move the camera so that every shown model fills the view</translation>
    </message>
    <message>
        <source>選択モデルがビューに入るようにカメラを動かします</source>
        <translation>Move the camera so that the selected model fills the view</translation>
    </message>
    <message>
        <source>前後のポーズを半透明の影として表示・非表示にします</source>
        <translation>Show or hide the poses before and after as translucent ghosts</translation>
    </message>
    <message>
        <source>前後のキーフレームのポーズを影として表示します</source>
        <translation>Show the poses at the previous and next key frames as ghosts</translation>
    </message>
    <message>
        <source>前後1フレームずつのポーズを影として表示します</source>
        <translation>Show the poses one frame before and after as ghosts</translation>
    </message>
    <message>
        <source>前後2フレームずつのポーズを影として表示します</source>
        <translation>Show the poses up to two frames before and after as ghosts</translation>
    </message>
    <message>
        <source>前後3フレームずつのポーズを影として表示します</source>
        <translation>Show the poses up to three frames before and after as ghosts</translation>
    </message>
    <message>
        <source>ファイルの種類の登録を削除します</source>
        <translation>Remove the file type registration</translation>
    </message>
    <message>
        <source>表示を英語に切り替えます</source>
        <translation>Switch the interface to Japanese</translation>
    </message>
    <message>
        <source>メイン ツール バーを表示・非表示にします</source>
        <translation>Show or hide the main toolbar</translation>
    </message>
    <message>
        <source>コントロール ツール バーを表示・非表示にします</source>
        <translation>Show or hide the control toolbar</translation>
    </message>
    <message>
        <source>ステータス バーを表示・非表示にします</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>モデルごとのキーを並べたドープシートを表示・非表示にします</source>
        <translation>Show or hide the dope sheet, every model's keys in rows</translation>
    </message>
    <message>
        <source>ヘルプを表示します</source>
        <translation>Show the help</translation>
    </message>
    <message>
        <source>Metasequoiaのホームページをブラウザーで開きます</source>
        <translation>Open Metasequoia's home page in the browser</translation>
    </message>
    <message>
        <source>プログラムの情報とバージョンを表示します</source>
        <translation>Show the program's information and version</translation>
    </message>
    <message>
        <source>Metasequoiaファイルを読み込み、選択キャラクターにモデルを追加します</source>
        <translation>Read a Metasequoia file and add its models to the selected character</translation>
    </message>
    <message>
        <source>選択モデルを、その下のモデルとともに削除します</source>
        <translation>Delete the selected model with the models below it</translation>
    </message>
    <message>
        <source>選択モデルの名前を変更します</source>
        <translation>Rename the selected model</translation>
    </message>
    <message>
        <source>モデルを表示・非表示にします</source>
        <translation>Show or hide the model</translation>
    </message>
    <message>
        <source>キャラクターを追加します</source>
        <translation>Add a character</translation>
    </message>
    <message>
        <source>選択キャラクターを削除します</source>
        <translation>Delete the selected character</translation>
    </message>
    <message>
        <source>選択キャラクターの名前を変更します</source>
        <translation>Rename the selected character</translation>
    </message>
    <message>
        <source>アニメーションを追加します</source>
        <translation>Add an animation</translation>
    </message>
    <message>
        <source>現在のアニメーションを削除します</source>
        <translation>Delete the current animation</translation>
    </message>
    <message>
        <source>現在のアニメーションの名前を変更します</source>
        <translation>Rename the current animation</translation>
    </message>
    <message>
        <source>選択マテリアルの色を選びます</source>
        <translation>Choose the selected material's color</translation>
    </message>
    <message>
        <source>選択マテリアルの名前を変更します</source>
        <translation>Rename the selected material</translation>
    </message>
</context>
<context>
    <name>UndoSteps</name>
    <message>
        <source>ポーズの変更</source>
        <translation>Change Pose</translation>
    </message>
    <message>
        <source>キーフレームの追加</source>
        <translation>Add Key Frame</translation>
    </message>
    <message>
        <source>キーフレームの削除</source>
        <translation>Delete Key Frame</translation>
    </message>
    <message>
        <source>キーの移動</source>
        <translation>Move Keys</translation>
    </message>
    <message>
        <source>キーの貼り付け</source>
        <translation>Paste Keys</translation>
    </message>
    <message>
        <source>キーの削除</source>
        <translation>Delete Keys</translation>
    </message>
    <message>
        <source>フレームの挿入</source>
        <translation>Insert Frames</translation>
    </message>
    <message>
        <source>フレームの削除</source>
        <translation>Delete Frames</translation>
    </message>
    <message>
        <source>最後のフレームの変更</source>
        <translation>Change Last Frame</translation>
    </message>
    <message>
        <source>アニメーションの貼り付け</source>
        <translation>Paste Animation</translation>
    </message>
    <message>
        <source>モデルの追加</source>
        <translation>Add Model</translation>
    </message>
    <message>
        <source>モデルの削除</source>
        <translation>Delete Model</translation>
    </message>
    <message>
        <source>親の変更</source>
        <translation>Change Parent</translation>
    </message>
    <message>
        <source>表示・非表示</source>
        <translation>Show or Hide</translation>
    </message>
    <message>
        <source>名前の変更</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>キャラクターの追加</source>
        <translation>Add Character</translation>
    </message>
    <message>
        <source>キャラクターの削除</source>
        <translation>Delete Character</translation>
    </message>
    <message>
        <source>アニメーションの追加</source>
        <translation>Add Animation</translation>
    </message>
    <message>
        <source>アニメーションの削除</source>
        <translation>Delete Animation</translation>
    </message>
    <message>
        <source>材質の色</source>
        <translation>Material Color</translation>
    </message>
    <message>
        <source>材質の編集</source>
        <translation>Edit Material</translation>
    </message>
</context>
<context>
    <name>VideoDialog</name>
    <message>
        <source>大きさ (ピクセル)</source>
        <translation>Size (pixels)</translation>
    </message>
    <message>
        <source>アニメーション</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>最初のフレーム</source>
        <translation>First frame</translation>
    </message>
    <message>
        <source>最後のフレーム</source>
        <translation>Last frame</translation>
    </message>
    <message>
        <source>1秒間のフレーム数</source>
        <translation>Frames per second</translation>
    </message>
</context>
</TS>
