#include "shell/OnionSkinSetting.h"

#include <QSettings>

namespace vantomo {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")); }

const QString kEnabledKey = QStringLiteral("Vantomo/OnionSkin");
const QString kFramesKey = QStringLiteral("Vantomo/OnionSkinFrames");

} // namespace

OnionSkin LoadOnionSkinSetting()
{
    const QSettings settings = Settings();
    OnionSkin onion;
    onion.enabled = settings.value(kEnabledKey, false).toBool();
    bool number = false;
    const int frames = settings.value(kFramesKey, 0).toInt(&number);
    onion.frames = number ? frames : 0;
    return ClampedOnionSkin(onion);
}

void SaveOnionSkinSetting(const OnionSkin& onion)
{
    QSettings settings = Settings();
    settings.setValue(kEnabledKey, onion.enabled);
    settings.setValue(kFramesKey, onion.frames);
}

} // namespace vantomo
