// What each undo step is called in the Undo and Redo items ("元に戻す: モデルの削除").
// The desktop program translates them with the rest of its texts.
#pragma once

namespace vantomo {

inline constexpr const char* kPoseLabel = "ポーズの変更";
inline constexpr const char* kAddKeyLabel = "キーフレームの追加";
inline constexpr const char* kDeleteKeyLabel = "キーフレームの削除";
inline constexpr const char* kMoveKeysLabel = "キーの移動";
inline constexpr const char* kPasteKeysLabel = "キーの貼り付け";
inline constexpr const char* kDeleteKeysLabel = "キーの削除";
inline constexpr const char* kInsertFramesLabel = "フレームの挿入";
inline constexpr const char* kDeleteFramesLabel = "フレームの削除";
inline constexpr const char* kLastFrameLabel = "最後のフレームの変更";
inline constexpr const char* kPasteAnimationLabel = "アニメーションの貼り付け";
inline constexpr const char* kAddModelLabel = "モデルの追加";
inline constexpr const char* kDeleteModelLabel = "モデルの削除";
inline constexpr const char* kReparentLabel = "親の変更";
inline constexpr const char* kShowHideLabel = "表示・非表示";
inline constexpr const char* kRenameLabel = "名前の変更";
inline constexpr const char* kAddCharacterLabel = "キャラクターの追加";
inline constexpr const char* kDeleteCharacterLabel = "キャラクターの削除";
inline constexpr const char* kAddAnimationLabel = "アニメーションの追加";
inline constexpr const char* kDeleteAnimationLabel = "アニメーションの削除";
inline constexpr const char* kMaterialColorLabel = "材質の色";
inline constexpr const char* kEditMaterialLabel = "材質の編集";

// Every label, for the checks that each has its translation.
inline constexpr const char* kStepLabels[] = {
    kPoseLabel,        kAddKeyLabel,          kDeleteKeyLabel,       kMoveKeysLabel,        kPasteKeysLabel,
    kDeleteKeysLabel,  kInsertFramesLabel,    kDeleteFramesLabel,    kLastFrameLabel,       kPasteAnimationLabel,
    kAddModelLabel,    kDeleteModelLabel,     kReparentLabel,        kShowHideLabel,        kRenameLabel,
    kAddCharacterLabel, kDeleteCharacterLabel, kAddAnimationLabel,   kDeleteAnimationLabel, kMaterialColorLabel,
    kEditMaterialLabel,
};

} // namespace vantomo
