#include "window/translated_text.h"

#include "character/state_table.h"
#include "common/message.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace patapata {
namespace {

// The texts the window shows of the core, as their translation contexts and sources: the core's
// own tables are their only source.
std::vector<std::pair<const char*, const char*>> coreSources() {
  std::vector<std::pair<const char*, const char*>> sources{{"Core", "名前"},
                                                           {"Core", kNoStateCaption}};
  for (const StateInfo& info : kStates) {
    sources.emplace_back("StateButton", info.buttonCaption);
    sources.emplace_back("Core", info.caption);
  }
#define PATAPATA_ERROR(id, text) \
  sources.emplace_back(messageContext(MessageId::id), messageSource(MessageId::id));
#define PATAPATA_LINT(id, text)
#define PATAPATA_IMPORT(id, text)
#include "common/message_texts.inc"
#undef PATAPATA_ERROR
#undef PATAPATA_LINT
#undef PATAPATA_IMPORT
  return sources;
}

// Built into the program, the translation is found wherever it runs, installed or not; a text
// added to the core's tables without its translation would stay Japanese in the English window.
TEST(Translations, TheEnglishTranslationIsBuiltInAndComplete) {
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/patapata_en.qm")));
  for (const auto& [context, source] : coreSources()) {
    SCOPED_TRACE(source);
    const QString text = english.translate(context, source);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_NE(text, QString::fromUtf8(source));
  }
  // The window's own texts, as its sources mark them (literals joined, escapes as written).
  const QRegularExpression marked(
      QStringLiteral(R"re(QT_TRANSLATE_NOOP\(\s*"(\w+)"\s*,((?:\s*"(?:[^"\\]|\\.)*")+)\s*\))re"));
  const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
  const QDir window(QStringLiteral(PATAPATA_SOURCE_DIR "/src/window"));
  int found = 0;
  for (const QString& name : window.entryList({QStringLiteral("*.cpp")})) {
    QFile file(window.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString code = QString::fromUtf8(file.readAll());
    for (const QRegularExpressionMatch& m : marked.globalMatch(code)) {
      QString source;
      for (const QRegularExpressionMatch& l : literal.globalMatch(m.captured(2))) {
        source += l.captured(1).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
      }
      SCOPED_TRACE((name + QStringLiteral(": ") + source).toStdString());
      ++found;
      const QString text =
          english.translate(m.captured(1).toUtf8().constData(), source.toUtf8().constData());
      EXPECT_FALSE(text.isEmpty());
    }
  }
  EXPECT_GT(found, 100);  // the pattern still finds the marked texts
  QFile ts(QStringLiteral(PATAPATA_SOURCE_DIR "/src/window/translations/patapata_en.ts"));
  ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
  const QByteArray xml = ts.readAll();
  EXPECT_FALSE(xml.contains("type=\"unfinished\""));
  EXPECT_FALSE(xml.contains("type=\"vanished\""));
}

// How many messages the list has, and how many of them are English, counted from the list itself
// so that a text appended later is checked too.
constexpr int kMessageCount = 0
#define PATAPATA_ERROR(id, text) +1
#define PATAPATA_LINT(id, text) +1
#define PATAPATA_IMPORT(id, text) +1
#include "common/message_texts.inc"
#undef PATAPATA_ERROR
#undef PATAPATA_LINT
#undef PATAPATA_IMPORT
    ;
constexpr int kEnglishCount = 0
#define PATAPATA_ERROR(id, text)
#define PATAPATA_LINT(id, text) +1
#define PATAPATA_IMPORT(id, text) +1
#include "common/message_texts.inc"
#undef PATAPATA_ERROR
#undef PATAPATA_LINT
#undef PATAPATA_IMPORT
    ;

std::set<std::string> placeholders(const QString& text) {
  static const QRegularExpression kPlaceholder(QStringLiteral("%[1-9]"));
  std::set<std::string> found;
  for (const QRegularExpressionMatch& match : kPlaceholder.globalMatch(text)) {
    found.insert(match.captured().toStdString());
  }
  return found;
}

// The check's warnings and the importer's messages are English in the source. A text added
// without its Japanese would show in English in the Japanese window; a translation that lost
// or renumbered a %N would show the wrong excerpt, or none.
TEST(Translations, TheJapaneseTranslationOfTheEnglishMessagesIsBuiltInAndComplete) {
  QTranslator japanese;
  ASSERT_TRUE(japanese.load(QStringLiteral(":/i18n/patapata_ja.qm")));
  int checked = 0;
  // The errors come first in the list, the check's warnings and the importer's texts after them.
  for (int i = static_cast<int>(MessageId::ByteOrderMark); i < kMessageCount; ++i) {
    const auto id = static_cast<MessageId>(i);
    const std::string context = messageContext(id);
    if (context != "Lint" && context != "Import") continue;
    const char* source = messageSource(id);
    SCOPED_TRACE(source);
    const QString text = japanese.translate(context.c_str(), source);
    EXPECT_FALSE(text.isEmpty());
    EXPECT_NE(text, QString::fromUtf8(source));
    EXPECT_EQ(placeholders(text), placeholders(QString::fromUtf8(source))) << text.toStdString();
    ++checked;
  }
  // None lies before the first warning.
  EXPECT_EQ(checked, kEnglishCount);
  // lrelease builds in a filled-in text that is still marked unfinished; the file says so.
  QFile ts(QStringLiteral(PATAPATA_SOURCE_DIR "/src/window/translations/patapata_ja.ts"));
  ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
  const QByteArray xml = ts.readAll();
  EXPECT_FALSE(xml.contains("type=\"unfinished\""));
  EXPECT_FALSE(xml.contains("type=\"vanished\""));
}

TEST(Translations, MessagesKeepWhatWasPutIntoThem) {
  QTranslator english;
  ASSERT_TRUE(english.load(QStringLiteral(":/i18n/patapata_en.qm")));
  QCoreApplication::installTranslator(&english);
  EXPECT_EQ(translated::message({MessageId::CannotOpenFile, {"/a/b.chp"}}),
            QStringLiteral("Cannot open the file /a/b.chp"));
  EXPECT_EQ(translated::message({MessageId::NotANumber, {"12x"}}),
            QStringLiteral("'12x' is not a number"));
  EXPECT_EQ(translated::message({MessageId::CannotCreateSurface, {}}),
            QStringLiteral("Cannot create the surface"));
  // A file's text that reads like a placeholder stays as it is.
  EXPECT_EQ(translated::message({MessageId::NotANumber, {"%1"}}),
            QStringLiteral("'%1' is not a number"));
  EXPECT_EQ(translated::coreText("ひよこ"), QStringLiteral("ひよこ"));
  QCoreApplication::removeTranslator(&english);
  EXPECT_EQ(translated::message({MessageId::CannotOpenFile, {"/a/b.chp"}}),
            QStringLiteral("ファイル /a/b.chp は開けません"));
}

}  // namespace
}  // namespace patapata
