#include "window/translated_text.h"

#include <QCoreApplication>

#include <array>
#include <iterator>

namespace patapata::translated {

namespace {

// The state captions and the labels' defaults. The same texts live in the core's tables; a test
// keeps the lists alike.
constexpr const char* kCoreContext = "Core";
constexpr Source kCoreTexts[] = {
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "名前")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "状態")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "通常１")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "通常2")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "勝ち")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "負け")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "立ち")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "おじゃま")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "喜び１")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "喜び２")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "喜び３")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "ダメージ１")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "ダメージ２")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "ダメージ３")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "ミス")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "ﾁｪｯｸﾊﾟﾀｰﾝ")},
    // Names that the messages put into their patterns.
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "サーフェース")},
    {kCoreContext, QT_TRANSLATE_NOOP("Core", "プライマリサーフェース")},
};

// The state buttons' captions: narrower than the state captions, so translated on their own.
constexpr const char* kButtonContext = "StateButton";
constexpr Source kButtonTexts[] = {
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "通常１")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "通常２")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "勝ち")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "負け")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "立ち")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "おじゃま")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "喜び１")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "喜び２")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "喜び３")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "ﾀﾞﾒｰｼﾞ１")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "ﾀﾞﾒｰｼﾞ２")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "ﾀﾞﾒｰｼﾞ３")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "ミス")},
    {kButtonContext, QT_TRANSLATE_NOOP("StateButton", "ﾊﾟﾀｰﾝﾁｪｯｸ")},
};

// The system's messages, with "%s" or "%d" where the core puts a value.
constexpr const char* kMessageContext = "Messages";
constexpr Source kMessages[] = {
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "'%s' は数値ではありません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "ファイル %s は開けません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "%s を読み込めません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "%s を初期化できません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "DirectX 6 以降が必要です")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "拡張子 .%s の画像形式は処理できません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "ビットマップイメージが不正です")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "ストリームからの読み込みエラー")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "不正な DIB です")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "不正なビット数です (%d)")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "不正なピクセルフォーマットです")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "%s を作成できません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "%s は作成されていません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "Canvas に対する描画ができません")},
    {kMessageContext, QT_TRANSLATE_NOOP("Messages", "フォームが見つかりません")},
};

// All of them, in one list for the tests.
constexpr auto kAll = [] {
  std::array<Source, std::size(kCoreTexts) + std::size(kButtonTexts) + std::size(kMessages)> all{};
  std::size_t n = 0;
  for (const Source& s : kCoreTexts) all[n++] = s;
  for (const Source& s : kButtonTexts) all[n++] = s;
  for (const Source& s : kMessages) all[n++] = s;
  return all;
}();

bool equals(std::string_view a, const char* b) {
  return a == std::string_view(b);
}

}  // namespace

QString coreText(std::string_view utf8) {
  for (const Source& s : kCoreTexts) {
    if (equals(utf8, s.text)) return QCoreApplication::translate(s.context, s.text);
  }
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString buttonText(std::string_view utf8) {
  for (const Source& s : kButtonTexts) {
    if (equals(utf8, s.text)) return QCoreApplication::translate(s.context, s.text);
  }
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString message(std::string_view utf8) {
  for (const Source& s : kMessages) {
    const std::string_view pattern(s.text);
    const std::size_t hole = pattern.find('%');
    if (hole == std::string_view::npos) {
      if (utf8 == pattern) return QCoreApplication::translate(s.context, s.text);
      continue;
    }
    const std::string_view before = pattern.substr(0, hole);
    const std::string_view after = pattern.substr(hole + 2);
    if (utf8.size() < before.size() + after.size() || !utf8.starts_with(before) ||
        !utf8.ends_with(after)) {
      continue;
    }
    const std::string_view value =
        utf8.substr(before.size(), utf8.size() - before.size() - after.size());
    QString translated = QCoreApplication::translate(s.context, s.text);
    const qsizetype at = translated.indexOf(QLatin1Char('%'));
    if (at >= 0) translated.replace(at, 2, coreText(value));
    return translated;
  }
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

const Source* sourcesBegin() {
  return kAll.data();
}

const Source* sourcesEnd() {
  return kAll.data() + kAll.size();
}

}  // namespace patapata::translated
