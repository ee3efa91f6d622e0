#include "ui/qt/accessible_result_line.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QVariant>

namespace {

constexpr char kFormNameProperty[] = "quilloFormName";

class AccessibleResultLine : public QAccessibleWidget {
 public:
  explicit AccessibleResultLine(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text kind) const override {
    const auto* label = static_cast<const QLabel*>(widget());
    switch (kind) {
      case QAccessible::Name:
        return label->property(kFormNameProperty).toString();
      case QAccessible::Value:
        return label->text();
      default:
        return QAccessibleWidget::text(kind);
    }
  }
};

QAccessibleInterface* CreateResultLineInterface(const QString& /*className*/, QObject* object) {
  auto* label = qobject_cast<QLabel*>(object);
  if (label == nullptr || !label->property(kFormNameProperty).isValid()) {
    return nullptr;
  }
  return new AccessibleResultLine(label);
}

}  // namespace

void MakeAccessibleResultLine(QLabel* label, const QString& formName) {
  static const bool installed = [] {
    QAccessible::installFactory(CreateResultLineInterface);
    return true;
  }();
  (void)installed;
  label->setProperty(kFormNameProperty, formName);
}
