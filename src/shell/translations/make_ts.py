#!/usr/bin/env python3
"""Writes vantomo_en.ts, the English catalog of the desktop program, from the
table below. The Japanese texts are the program's own; keep the table in step
with them (the shell test checks every menu, toolbar and panel text has an
entry)."""
import os
from xml.sax.saxutils import escape

T = {
"Menus": [
 ("ファイル(&F)", "&File"), ("編集(&E)", "&Edit"), ("ｷｬﾗｸﾀ(&C)", "&Character"),
 ("ﾏｳｽ(&O)", "M&ouse"), ("ｱﾆﾒｰｼｮﾝ(&T)", "Anima&tion"), ("表示(&V)", "&View"), ("ﾍﾙﾌﾟ(&H)", "&Help"),
 ("オニオンスキンの範囲(&R)", "Onion Skin &Range"),
],
"Commands": [
 ("新規作成(&N)\tCtrl+N", "&New\tCtrl+N"),
 ("開く(&O)...\tCtrl+O", "&Open...\tCtrl+O"),
 ("上書き保存(&S)\tCtrl+S", "&Save\tCtrl+S"),
 ("名前を付けて保存(&A)...\tCtrl+A", "Save &As...\tCtrl+A"),
 ("動画の書き出し(&V)...", "Export Animation &Video..."),
 ("最近使ったﾌｧｲﾙ", "Recent File"),
 ("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "E&xit"),
 ("元に戻す(&U)\tCtrl+Z", "&Undo\tCtrl+Z"),
 ("繰り返す(&R)\tCtrl+Y", "&Redo\tCtrl+Y"),
 ("全アニメーションのコピー(&C)", "&Copy Animation"),
 ("全アニメーションの貼り付け(&P)", "&Paste Animation"),
 ("ﾏｳｽでｶﾒﾗを操作(&C)\tCtrl+C", "Mouse Moves &Camera\tCtrl+C"),
 ("ﾏｳｽでﾓﾃﾞﾙを操作(&M)", "Mouse Moves &Model"),
 ("ﾏｳｽでｱﾆﾒｰｼｮﾝを操作(&A)\tCtrl+M", "Mouse Edits &Animation\tCtrl+M"),
 ("移動(&M)\tCtrl+V", "&Move\tCtrl+V"),
 ("回転(&R)\tCtrl+R", "&Rotate\tCtrl+R"),
 ("拡大(&E)\tCtrl+L", "Scal&e\tCtrl+L"),
 ("再生(&P)\tCtrl+B", "&Play\tCtrl+B"),
 ("停止(&S)\tCtrl+D", "&Stop\tCtrl+D"),
 ("1ﾌﾚｰﾑ進む(&N)\tCtrl+E", "&Next Frame\tCtrl+E"),
 ("1ﾌﾚｰﾑ戻る(&P)\tCtrl+F", "&Previous Frame\tCtrl+F"),
 ("次のｷｰﾌﾚｰﾑ(&C)\tCtrl+G", "Next &Key Frame\tCtrl+G"),
 ("前のｷｰﾌﾚｰﾑ(&B)\tCtrl+H", "Previous Key Frame (&B)\tCtrl+H"),
 ("最初のﾌﾚｰﾑ(&F)\tCtrl+I", "&First Frame\tCtrl+I"),
 ("最後のﾌﾚｰﾑ(&L)\tCtrl+J", "&Last Frame\tCtrl+J"),
 ("ｷｰﾌﾚｰﾑの追加・削除(&K)\tCtrl+K", "Add or Delete &Key Frame...\tCtrl+K"),
 ("選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&A)\tCtrl+P", "&Add Key to Selected Model\tCtrl+P"),
 ("全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&Y)\tCtrl+Q", "Add Key to All Models (&Y)\tCtrl+Q"),
 ("選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&D)\tCtrl+T", "&Delete Key of Selected Model\tCtrl+T"),
 ("全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&E)\tCtrl+U", "D&elete Key of All Models\tCtrl+U"),
 ("ﾌﾚｰﾑを挿入(&G)\tAlt+R", "Insert Frames (&G)...\tAlt+R"),
 ("ﾌﾚｰﾑを削除(&H)\tAlt+U", "Delete Frames (&H)...\tAlt+U"),
 ("ｽﾑｰｽﾞ･ｼｪｰﾃﾞｨﾝｸﾞ(&S)\tAlt+P", "&Smooth Shading\tAlt+P"),
 ("ｶﾒﾗの初期化(&I)\tAlt+W", "&Initialize Camera\tAlt+W"),
 ("背景色(&C)\tAlt+N", "Background &Color...\tAlt+N"),
 ("ﾚｼﾞｽﾄﾘの削除(&U)", "&Unregister File Type"),
 ("English(&E)\tAlt+L", "Japanese (&E)\tAlt+L"),
 ("ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ(&M)\tAlt+A", "&Main Toolbar\tAlt+A"),
 ("ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ(&C)\tAlt+B", "&Control Toolbar\tAlt+B"),
 ("ｽﾃｰﾀｽ ﾊﾞｰ(&S)\tAlt+J", "&Status Bar\tAlt+J"),
 ("目次(&H)\tAlt+I", "&Help Topics\tAlt+I"),
 ("Metasequoiaのホームページ(&M)\tAlt+G", "&Metasequoia Home Page\tAlt+G"),
 ("Vantomo のﾊﾞｰｼﾞｮﾝ情報(&A)...\tAlt+Q", "&About Vantomo...\tAlt+Q"),
 ("ﾓﾃﾞﾙ追加(&A)\tAlt+X", "&Add Model...\tAlt+X"),
 ("ﾓﾃﾞﾙ削除(&D)\tAlt+Delete", "&Delete Model\tAlt+Delete"),
 ("名前変更(&C)\tAlt+Z", "Rename (&C)\tAlt+Z"),
 ("表示・非表示(&V)\tAlt+M", "Show or Hide (&V)\tAlt+M"),
 ("ｷｬﾗｱｲﾃﾑ追加(&I)", "Add Character (&I)"),
 ("ｷｬﾗｱｲﾃﾑ削除(&D)", "&Delete Character"),
 ("名前変更(&C)", "Rename (&C)"),
 ("ｱﾆﾒｰｼｮﾝ追加(&A)", "&Add Animation"),
 ("ｱﾆﾒｰｼｮﾝ削除(&D)", "&Delete Animation"),
 ("名前変更(&R)", "&Rename"),
 ("色(&C)", "&Color..."),
 ("全体表示(&A)\tHome", "Frame &All\tHome"),
 ("選択部分を表示(&F)\tF", "&Frame Selected\tF"),
 ("オニオンスキン(&O)", "&Onion Skin"),
 ("前後のキーフレーム(&K)", "Previous and Next &Key"),
 ("前後1フレーム(&1)", "&1 Frame Each Way"),
 ("前後2フレーム(&2)", "&2 Frames Each Way"),
 ("前後3フレーム(&3)", "&3 Frames Each Way"),
],
"ToolBar": [
 ("新規", "New"), ("開く", "Open"), ("保存", "Save"), ("Undo", "Undo"), ("Redo", "Redo"),
 ("ｶﾒﾗ", "Cam"), ("ﾓﾃﾞﾙ", "Modl"), ("ｱﾆﾒ", "Anim"), ("移動", "Move"), ("回転", "Rot"),
 ("拡大", "Size"), ("陰影", "Shde"), ("ｵﾆｵﾝ", "Onion"),
 ("最初", "Fist"), ("前ｷｰ", "PreK"), ("前", "Pre"), ("停止", "Stop"), ("再生", "Play"),
 ("次", "Next"), ("次ｷｰ", "NxtK"), ("最後", "Last"), ("ｷｰ", "Key"), ("追加", "Add"),
 ("全追", "AddA"), ("削除", "Del"), ("全削", "DelA"), ("挿入", "Insr"),
 ("ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ", "Main Toolbar"), ("ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ", "Control Toolbar"),
],
"StatusBar": [("ﾚﾃﾞｨ", "Ready")],
"ControlPanel": [
 ("度", "Deg"), ("現在のﾌﾚｰﾑ", "Frame"), ("最後のﾌﾚｰﾑ", "Last Frame"), ("1秒間のﾌﾚｰﾑ数", "Frames/Second"),
],
"About": [("Vantomoのﾊﾞｰｼﾞｮﾝ情報", "About Vantomo")],
"VantomoView": [
 ("OpenGL 3.3 が使えないため、3D ビューを表示できません。",
  "The 3D view cannot be shown: OpenGL 3.3 is not available."),
],
"Filters": [
 ("全ての形式(*.vtm;*.mqo)|*.vtm;*.mqo|Vantomoファイル(*.vtm)|*.vtm|Metasequoiaファイル(*.mqo)|*.mqo|",
  "All Formats(*.vtm;*.mqo)|*.vtm;*.mqo|Vantomo Files(*.vtm)|*.vtm|Metasequoia Files(*.mqo)|*.mqo|"),
 ("Vantomoファイル(*.vtm)|*.vtm|xamlファイル(*.xaml)|*.xaml|Metasequoiaファイル(*.mqo)|*.mqo|glTFファイル(*.gltf;*.glb)|*.gltf;*.glb|",
  "Vantomo Files(*.vtm)|*.vtm|XAML Files(*.xaml)|*.xaml|Metasequoia Files(*.mqo)|*.mqo|glTF Files(*.gltf;*.glb)|*.gltf;*.glb|"),
 ("MP4 動画(*.mp4)|*.mp4|WebM 動画(*.webm)|*.webm|GIF アニメーション(*.gif)|*.gif|",
  "MP4 Video(*.mp4)|*.mp4|WebM Video(*.webm)|*.webm|GIF Animation(*.gif)|*.gif|"),
],
"Messages": [
 ("無題", "Untitled"),
 ("%1 への変更を保存しますか?", "Save changes to %1?"),
 ("レジストリを削除しました。", "The file type registration was removed."),
 ("ドキュメントを開くことに失敗しました。", "Failed to open the document."),
 ("ドキュメントの保存に失敗しました。", "Failed to save the document."),
 ("予期しないファイル形式です。", "Unexpected file format."),
 ("ファイルを開いています...", "Opening the file..."),
 ("モデルを読み込んでいます...", "Reading the model..."),
 ("保存しています...", "Saving..."),
 ("書き出しています...", "Exporting..."),
 ("キャンセル", "Cancel"),
 ("モデルを選択してください！", "Please select a model!"),
 ("このファイル形式では保存できません。", "Cannot save in this file format."),
 ("次のテクスチャは書き出せませんでした:", "These textures could not be written:"),
 ("フレーム番号が範囲外です！", "The frame number is out of range!"),
 ("整数を入力してください。", "Please enter an integer."),
 ("数字を入力してください。", "Please enter a number."),
 ("同名のアイテムが存在します！", "An item with the same name exists!"),
 ("XAMLファイルへの書き出しに失敗しました。", "Failed to write the XAML file."),
 ("Metasequoiaファイルへの書き出しに失敗しました。", "Failed to write the Metasequoia file."),
 ("glTFファイルへの書き出しに失敗しました。", "Failed to write the glTF file."),
 ("ファイルが見つからないか、この画像ファイルには対応していません！",
  "The file was not found, or this image format is not supported!"),
 ("倍率は0より大きい有限の数でなければなりません。", "The scale must be a finite number greater than 0."),
 ("シーンが大きすぎるため、.glbに書き出せません（4 GiBまで）。.gltfで書き出してください。",
  "The scene is too large for .glb (4 GiB at most). Export it as .gltf."),
 ("フレームレートが正しくないため、glTFに書き出せません。", "The frame rate is invalid, so glTF cannot be written."),
 ("この名前は使えない文字を含んでいます。", "This name contains characters that cannot be used."),
 ("次のオブジェクトは読み込めなかったため、取り込みませんでした:", "These objects could not be read and were left out:"),
 ("次のオブジェクトには使える面がないため、モデルを作れませんでした:",
  "No model could be made from these objects, as they have no usable faces:"),
 ("動画の書き出し", "Export Animation Video"),
 ("動画を書き出せませんでした。", "The video could not be written."),
 ("3D ビューが使えないため、動画を書き出せません。", "The video cannot be written: the 3D view is not available."),
],
"VideoDialog": [
 ("大きさ (ピクセル)", "Size (pixels)"), ("アニメーション", "Animation"), ("最初のフレーム", "First frame"),
 ("最後のフレーム", "Last frame"), ("1秒間のフレーム数", "Frames per second"),
],
}

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = ['<?xml version="1.0" encoding="utf-8"?>', '<!DOCTYPE TS>', '<TS version="2.1" language="en_US" sourcelanguage="ja_JP">']
    for context, pairs in T.items():
        out.append('<context>')
        out.append(f'    <name>{context}</name>')
        for src, tr in pairs:
            out.append('    <message>')
            out.append(f'        <source>{escape(src)}</source>')
            out.append(f'        <translation>{escape(tr)}</translation>')
            out.append('    </message>')
        out.append('</context>')
    out.append('</TS>')
    with open(os.path.join(here, 'vantomo_en.ts'), 'w', encoding='utf-8') as f:
        f.write('\n'.join(out) + '\n')

main()
