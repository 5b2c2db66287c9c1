#include "window/translated_text.h"

#include <QCoreApplication>

#include <string>

namespace patapata::translated {

namespace {

QString translate(const char* context, std::string_view utf8) {
  const std::string source(utf8);
  return QCoreApplication::translate(context, source.c_str());
}

}  // namespace

QString coreText(std::string_view utf8) {
  return translate("Core", utf8);
}

QString buttonText(std::string_view utf8) {
  return translate("StateButton", utf8);
}

QString message(const Message& message) {
  const QByteArray pattern =
      QCoreApplication::translate(messageContext(message.id), messageSource(message.id)).toUtf8();
  return QString::fromStdString(
      fillArguments(std::string_view(pattern.constData(), static_cast<std::size_t>(pattern.size())),
                    message.arguments));
}

}  // namespace patapata::translated
