// The small dialogs of the editing commands as data: the caller sets the
// fields, the user interface shows them and, on OK, reads the typed texts back
// through the data exchange below. A widget and the headless interface share
// that exchange, so a typed value is accepted or refused the same way in both.
#pragma once

#include <string>
#include <string_view>

#include "export/ExportSettings.h"

namespace vantomo {

inline constexpr const char* kEnterIntegerMessage = "整数を入力してください。";
inline constexpr const char* kEnterNumberMessage = "数字を入力してください。";

// Text of an integer edit to its value: optional white space, an optional
// sign, decimal digits, optional white space, within the range of int. False
// (value untouched) for anything else; the dialog then shows
// kEnterIntegerMessage and stays open.
[[nodiscard]] bool ExchangeInteger(std::string_view text, int& value);

// Text of a number edit to its value: a decimal number in the C locale's form
// (a point, an optional exponent) that converts to a finite float. "nan",
// "inf" and values beyond the float range are refused (kEnterNumberMessage).
[[nodiscard]] bool ExchangeFloat(std::string_view text, float& value);

// "ﾓﾃﾞﾙのｷｰﾌﾚｰﾑの追加・削除": a frame and one of four key operations.
struct KeyFrameDialog {
    int frame = 0;
    // 0 add for the selected model, 1 add for every model of the selected
    // character, 2 delete for the selected model, 3 delete for every model of
    // the selected character.
    int action = 0;
};

// "ﾌﾚｰﾑの削除": the frames start to end.
struct FrameDeleteDialog {
    int start = 0;
    int end = 0;
};

// "ﾌﾚｰﾑの挿入": `count` frames after frame `after`.
struct FrameInsertDialog {
    int after = 0;
    int count = 1;
};

// The export options, titled by the kind. On OK the dialog has written back
// the animation keys, speed, mesh layout, UV, normal and light flags and the
// scale (an unavailable normals box counts as ticked); the locks never change.
struct ExportDialog {
    std::string title;
    ExportSettings settings;
};

// "材質設定": every value of one material at once. The name and the texture
// are CP932; the numbers are what the edits hold (a colour may exceed 1).
struct MaterialDialog {
    std::string name;
    float red = 0.0f, green = 0.0f, blue = 0.0f, opacity = 0.0f;
    float diffuse = 0.0f, emissive = 0.0f, specular = 0.0f, power = 0.0f, ambient = 0.0f;
    std::string texture;
    // Where the texture chooser opens when the program has no texture folder:
    // the folder of the texture file in use, else the document's (native
    // bytes, "" for neither).
    std::string textureChooserFolder;
};

inline constexpr const char* kMaterialDialogTitle = "材質設定";

inline constexpr const char* kMqoExportTitle = "Metasequoiaフォーマットで保存";
inline constexpr const char* kXamlExportTitle = "XAMLフォーマットで保存";
inline constexpr const char* kGltfExportTitle = "glTFフォーマットで保存";

inline constexpr const char* kKeyFrameDialogTitle = "ﾓﾃﾞﾙのｷｰﾌﾚｰﾑの追加・削除";
inline constexpr const char* kFrameDeleteDialogTitle = "ﾌﾚｰﾑの削除";
inline constexpr const char* kFrameInsertDialogTitle = "ﾌﾚｰﾑの挿入";

} // namespace vantomo
