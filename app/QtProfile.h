#pragma once

#include "document/Profile.h"

#include <QSettings>
#include <QString>
#include <memory>

namespace faceto {

// The settings as an INI file: organisation "Hollowbark", application "Faceto", in the user's
// configuration folder. A section such as "games\quake2" is the nested group games/quake2.
class QtProfile : public Profile {
public:
    QtProfile();                                // the user's settings file
    explicit QtProfile(const QString& iniPath); // a given file (tests, tools)

    std::string getString(const std::string& section, const std::string& entry,
                          const std::string& defaultValue) const override;
    int getInt(const std::string& section, const std::string& entry, int defaultValue) const override;
    bool writeString(const std::string& section, const std::string& entry, const std::string& value) override;
    bool writeInt(const std::string& section, const std::string& entry, int value) override;

    QSettings& settings() { return *settings_; }
    QString fileName() const { return settings_->fileName(); }
    void sync() { settings_->sync(); }

    static QString keyFor(const std::string& section, const std::string& entry);

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace faceto
