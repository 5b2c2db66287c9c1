#pragma once

// The system's own messages, exactly as the user sees them.
namespace patapata::messages {

inline constexpr const char* kNotANumber = "'%s' は数値ではありません";
inline constexpr const char* kCannotOpenFile = "ファイル %s は開けません";
inline constexpr const char* kCannotLoad = "%s を読み込めません";
inline constexpr const char* kCannotInitialize = "%s を初期化できません";
inline constexpr const char* kNeedsDirectX6 = "DirectX 6 以降が必要です";
inline constexpr const char* kUnknownExtension = "拡張子 .%s の画像形式は処理できません";
inline constexpr const char* kInvalidBitmap = "ビットマップイメージが不正です";
inline constexpr const char* kStreamReadError = "ストリームからの読み込みエラー";
inline constexpr const char* kInvalidDib = "不正な DIB です";
inline constexpr const char* kInvalidBitCount = "不正なビット数です (%d)";
inline constexpr const char* kInvalidPixelFormat = "不正なピクセルフォーマットです";
inline constexpr const char* kCannotCreate = "%s を作成できません";
inline constexpr const char* kNotCreated = "%s は作成されていません";
inline constexpr const char* kCannotDrawOnCanvas = "Canvas に対する描画ができません";
inline constexpr const char* kFormNotFound = "フォームが見つかりません";

/// Every message above, for the window's translations to be checked against.
inline constexpr const char* kAll[] = {
    kNotANumber,         kCannotOpenFile, kCannotLoad,      kCannotInitialize,   kNeedsDirectX6,
    kUnknownExtension,   kInvalidBitmap,  kStreamReadError, kInvalidDib,         kInvalidBitCount,
    kInvalidPixelFormat, kCannotCreate,   kNotCreated,      kCannotDrawOnCanvas, kFormNotFound,
};

inline constexpr const char* kDirectDraw = "DirectDraw";
inline constexpr const char* kDDrawDll = "DDraw.dll";
inline constexpr const char* kSurface = "サーフェース";
inline constexpr const char* kPrimarySurface = "プライマリサーフェース";
inline constexpr const char* kSurfaceInterface = "IDirectDrawSurface";

}  // namespace patapata::messages
