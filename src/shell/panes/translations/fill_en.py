#!/usr/bin/env python3
"""Fills the English translations of vantomo_panes_en.ts after lupdate has
collected the source texts; every source text must have an entry here."""
import sys
import xml.etree.ElementTree as ET

EN = {
    "1ﾌﾚｰﾑを": "1 frame ×",
    "Metasequoiaフォーマットで保存": "Save in Metasequoia Format",
    "XAMLフォーマットで保存": "Save in XAML Format",
    "glTFフォーマットで保存": "Save in glTF Format",
    "Shift-JIS (CP932) で表せない文字は名前に使えません。":
        "A name can only hold characters of Shift-JIS (CP932).",
    "Shift-JIS (CP932) で表せない文字を含むファイル名はテクスチャに使えません。":
        "A texture file name can only hold characters of Shift-JIS (CP932).",
    "UV座標": "UV coordinates",
    "なし": "None",
    "キャンセル": "Cancel",
    "ｷｬﾝｾﾙ": "Cancel",
    "不透明度": "Opacity",
    "倍": "times",
    "全ての形式": "All formats",
    "反射の強さ": "Power",
    "反射光": "Specular",
    "同名のアイテムが存在します！": "An item with the same name already exists!",
    "現在のフレームにキーを追加(&A)": "&Add Key at Current Frame",
    "名前": "Name",
    "名前変更(&C)": "Re&name",
    "名前変更(&C)\tAlt+Z": "Re&name\tAlt+Z",
    "名前変更(&R)": "&Rename",
    "周囲光": "Ambient",
    "始点": "Start",
    "拡散光": "Diffuse",
    "数字を入力してください。": "Please enter a number.",
    "整数を入力してください。": "Please enter an integer.",
    "書き出す": "Write",
    "最後": "Last",
    "材質設定": "Material Settings",
    "標準(ｻｲｽﾞ小)": "Standard (smaller file)",
    "法線": "Normals",
    "無題": "Untitled",
    "移動・回転・ｽｹｰﾙ": "Move, rotate, scale",
    "終点": "End",
    "緑": "Green",
    "自己照明": "Emissive",
    "色": "Color",
    "色(&C)": "&Color",
    "行列": "Matrix",
    "表示・非表示(&V)\tAlt+M": "Show or &Hide\tAlt+M",
    "赤": "Red",
    "選択中のｷｬﾗｸﾀｰの全てのﾓﾃﾞﾙのｷｰﾌﾚｰﾑを削除": "Delete the key of every model of the selected character",
    "選択中のｷｬﾗｸﾀｰの全てのﾓﾃﾞﾙのｷｰﾌﾚｰﾑを追加": "Add a key to every model of the selected character",
    "選択中のﾓﾃﾞﾙのｷｰﾌﾚｰﾑを削除": "Delete the key of the selected model",
    "選択中のﾓﾃﾞﾙのｷｰﾌﾚｰﾑを追加": "Add a key to the selected model",
    "青": "Blue",
    "高画質ﾃｸｽﾁｬ(ｻｲｽﾞ大)": "High-quality texture (larger file)",
    "～": "to",
    "ｱﾆﾒｰｼｮﾝ削除(&D)": "&Delete Animation",
    "ｱﾆﾒｰｼｮﾝ名": "Animation",
    "ｱﾆﾒｰｼｮﾝ追加(&A)": "&Add Animation",
    "ｱﾆﾒｰｼｮﾝ速度": "Animation speed",
    "ｱﾆﾒｰｼｮﾝｷｰ": "Animation keys",
    "ｷｬﾗｱｲﾃﾑ削除(&D)": "&Delete Character",
    "ｷｬﾗｱｲﾃﾑ追加(&A)": "&Add Character",
    "ｷｬﾗｱｲﾃﾑ追加(&I)": "Add &Character",
    "ｷｬﾗｸﾀｰ(&C)": "&Character",
    "ｽｹｰﾙ": "Scale",
    "ﾃｸｽﾁｬ": "Texture",
    "ﾃｸｽﾁｬのｸｵﾘﾃｨ": "Texture quality",
    "ﾌﾚｰﾑ": "frame",
    "ﾌﾚｰﾑの削除": "Delete Frames",
    "ﾌﾚｰﾑの挿入": "Insert Frames",
    "ﾌﾚｰﾑを削除": ": delete these frames",
    "ﾌﾚｰﾑ目の後ろに": ": after this frame, add",
    "ﾌﾚｰﾑ追加": "frames",
    "ﾏﾃﾘｱﾙ名": "Material",
    "ﾓﾃﾞﾙ(&M)": "&Model",
    "ﾓﾃﾞﾙのｷｰﾌﾚｰﾑの追加・削除": "Add or Delete Model Keys",
    "ﾓﾃﾞﾙ削除(&D)\tAlt+Delete": "&Delete Model\tAlt+Delete",
    "ﾓﾃﾞﾙ追加(&A)": "&Add Model",
    "ﾓﾃﾞﾙ追加(&A)\tAlt+X": "&Add Model\tAlt+X",
    "ﾗｲﾄ": "Lights",
}

path = sys.argv[1]
tree = ET.parse(path)
missing = []
for message in tree.iter("message"):
    source = message.find("source").text
    translation = message.find("translation")
    if source in EN:
        translation.text = EN[source]
        translation.attrib.pop("type", None)
    else:
        missing.append(source)
tree.write(path, encoding="utf-8", xml_declaration=True)
if missing:
    sys.exit("no English for: " + ", ".join(missing))
