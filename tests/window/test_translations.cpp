#include "window/translated_text.h"

#include "character/state_table.h"
#include "common/messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QTranslator>

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

namespace patapata {
namespace {

bool known(const char* context, std::string_view text) {
  return std::any_of(translated::sourcesBegin(), translated::sourcesEnd(),
                     [&](const translated::Source& s) {
                       return std::string_view(s.context) == context && s.text == text;
                     });
}

// The window translates the texts the core composes by looking them up; a text added to the
// core's tables without its translation would stay Japanese in the English window.
TEST(Translations, EveryCoreTextTheWindowShowsIsKnown) {
  for (const StateInfo& info : kStates) {
    SCOPED_TRACE(info.state);
    EXPECT_TRUE(known("StateButton", info.buttonCaption));
    EXPECT_TRUE(known("Core", info.caption));
  }
  EXPECT_TRUE(known("Core", "名前"));
  EXPECT_TRUE(known("Core", "状態"));
  for (const char* message : messages::kAll) EXPECT_TRUE(known("Messages", message)) << message;
}

// Built into the program, the translation is found wherever it runs, installed or not.
TEST(Translations, TheEnglishTranslationIsBuiltInAndComplete) {
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/patapata_en.qm")));
  for (auto it = translated::sourcesBegin(); it != translated::sourcesEnd(); ++it) {
    SCOPED_TRACE(it->text);
    const QString text = english.translate(it->context, it->text);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_NE(text, QString::fromUtf8(it->text));
  }
  QFile ts(QStringLiteral(PATAPATA_SOURCE_DIR "/src/window/translations/patapata_en.ts"));
  ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
  const QByteArray xml = ts.readAll();
  EXPECT_FALSE(xml.contains("type=\"unfinished\""));
  EXPECT_FALSE(xml.contains("type=\"vanished\""));
}

TEST(Translations, MessagesKeepWhatWasPutIntoThem) {
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/patapata_en.qm")));
  QCoreApplication::installTranslator(&english);
  EXPECT_EQ(translated::message("ファイル /a/b.chp は開けません"),
            QStringLiteral("Cannot open the file /a/b.chp"));
  EXPECT_EQ(translated::message("'12x' は数値ではありません"),
            QStringLiteral("'12x' is not a number"));
  EXPECT_EQ(translated::message("サーフェース を作成できません"),
            QStringLiteral("Cannot create the surface"));
  EXPECT_EQ(translated::message("a message of someone else"),
            QStringLiteral("a message of someone else"));
  EXPECT_EQ(translated::coreText("ひよこ"), QStringLiteral("ひよこ"));
  QCoreApplication::removeTranslator(&english);
  EXPECT_EQ(translated::message("ファイル /a/b.chp は開けません"),
            QStringLiteral("ファイル /a/b.chp は開けません"));
}

}  // namespace
}  // namespace patapata
