// KDE: who holds Meta+Space in kglobalaccel, for the launcher's own check and for the words that
// tell the user what to change.

#include "platform/linux/kglobalaccel.hpp"

#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>
#include <memory>

#include "platform/spotlight_check.hpp"

namespace jolstrand {

QString KGlobalAccel::holder(const QDBusConnection& bus, const QString& ownComponent) {
  // [component, action, component's friendly name, action's friendly name], or nothing.
  const QDBusReply<QStringList> owner =
      bus.call(QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("action"))
               << metaSpace);
  if (!owner.isValid() || owner.value().size() < 4 || owner.value()[0].isEmpty() ||
      owner.value()[0] == ownComponent) {
    return {};
  }
  const QStringList& names = owner.value();
  const QString action = names[3].isEmpty() ? names[1] : names[3];
  const QString component = names[2].isEmpty() ? names[0] : names[2];
  return QStringLiteral("%1 (%2)").arg(action, component);
}

namespace {

class KdeShortcutCheck final : public SpotlightCheck {
 public:
  KdeShortcutCheck(const QDBusConnection& bus, QString ownComponent)
      : bus_(bus), ownComponent_(std::move(ownComponent)) {}

  bool holdsCommandSpace() override {
    holder_ = KGlobalAccel::holder(bus_, ownComponent_);
    return !holder_.isEmpty();
  }

  QString holder() const override { return holder_; }

 private:
  QDBusConnection bus_;
  const QString ownComponent_;
  QString holder_;
};

}  // namespace

std::unique_ptr<SpotlightCheck> makeKdeShortcutCheck(const QDBusConnection& bus,
                                                     const QString& ownComponent) {
  return std::make_unique<KdeShortcutCheck>(bus, ownComponent);
}

}  // namespace jolstrand
