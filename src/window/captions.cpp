#include "window/captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>

namespace patapata {

void Captions::add(QObject* target, const char* context, const char* source) {
  captions_.push_back(Caption{target, context, source});
}

void Captions::retranslate() const {
  for (const Caption& caption : captions_) {
    if (caption.target.isNull()) continue;
    const QString text = QCoreApplication::translate(caption.context, caption.source);
    if (auto* label = qobject_cast<QLabel*>(caption.target)) {
      label->setText(text);
      label->adjustSize();
    } else if (auto* button = qobject_cast<QAbstractButton*>(caption.target)) {
      button->setText(text);
    } else if (auto* item = qobject_cast<QAction*>(caption.target)) {
      item->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(caption.target)) {
      menu->setTitle(text);
    }
  }
}

}  // namespace patapata
