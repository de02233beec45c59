#include "app/QtProfile.h"

namespace faceto {

QtProfile::QtProfile()
    : settings_(
          std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Hollowbark", "Faceto")) {}

QtProfile::QtProfile(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QString QtProfile::keyFor(const std::string& section, const std::string& entry) {
    QString group = QString::fromStdString(section);
    group.replace('\\', '/');
    return group + '/' + QString::fromStdString(entry);
}

std::string QtProfile::getString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue) const {
    const QVariant value = settings_->value(keyFor(section, entry));
    return value.isValid() ? value.toString().toStdString() : defaultValue;
}

int QtProfile::getInt(const std::string& section, const std::string& entry, int defaultValue) const {
    const QVariant value = settings_->value(keyFor(section, entry));
    if (!value.isValid()) {
        return defaultValue;
    }
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : 0;
}

bool QtProfile::writeString(const std::string& section, const std::string& entry, const std::string& value) {
    settings_->setValue(keyFor(section, entry), QString::fromStdString(value));
    settings_->sync(); // written at once, as the profile functions of the original platform did
    return settings_->status() == QSettings::NoError;
}

bool QtProfile::writeInt(const std::string& section, const std::string& entry, int value) {
    settings_->setValue(keyFor(section, entry), value);
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

} // namespace faceto
