// Config.ini keys and the data folders.
#include "base/config.h"

#include <QDir>
#include <QFileInfo>

#include "base/ini_file.h"

namespace {
const QString kSentinel = QStringLiteral("0");
}

Config::Config(QString app_folder) : app_folder_(std::move(app_folder)), shipped_folder_(app_folder_) {}

Config::Config(QString app_folder, QString shipped_folder)
    : app_folder_(std::move(app_folder)), shipped_folder_(std::move(shipped_folder)) {}

QString Config::ConfigPath() const {
  const QDir dir(app_folder_);
  const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
  for (const QString& name : names)
    if (name.compare(QLatin1String("Config.ini"), Qt::CaseInsensitive) == 0) return dir.filePath(name);
  return dir.filePath(QStringLiteral("Config.ini"));
}

QString Config::DefaultPhotoFolder() const { return app_folder_ + QStringLiteral("/DATA/Photo"); }

QString Config::PhotoFolder() const {
  const QString value =
      ReadIniString(ConfigPath(), QStringLiteral("Photo"), QStringLiteral("Template"), kSentinel);
  return value == kSentinel ? DefaultPhotoFolder() : value;
}

void Config::SetPhotoFolder(const QString& folder) const {
  WriteIniString(ConfigPath(), QStringLiteral("Photo"), QStringLiteral("Template"), folder);
}

QString Config::TemplateFolderName(TemplateCategory category) const {
  return ReadIniString(ConfigPath(), QStringLiteral("Template"),
                       QStringLiteral("Template%1").arg(static_cast<int>(category)), kSentinel);
}

QString Config::TemplateFolder(TemplateCategory category) const {
  return app_folder_ + QStringLiteral("/DATA/Mask/") + TemplateFolderName(category) + u'/';
}

QString Config::ShippedTemplateFolder(TemplateCategory category) const {
  if (shipped_folder_ == app_folder_) return QString();
  return shipped_folder_ + QStringLiteral("/DATA/Mask/") + TemplateFolderName(category) + u'/';
}

bool Config::IsShipped(const QString& path) const {
  if (shipped_folder_ == app_folder_ || path.isEmpty()) return false;
  const QString inside = QDir::cleanPath(shipped_folder_) + u'/';
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(inside);
}

MetadataPolicy Config::OutputMetadata() const {
  bool ok = false;
  const MetadataPolicy policy =
      ParseMetadataPolicy(ReadIniString(ConfigPath(), QStringLiteral("Output"), QStringLiteral("Metadata"),
                                        QStringLiteral("keep")),
                          &ok);
  return ok ? policy : MetadataPolicy::Keep;
}

void Config::SetOutputMetadata(MetadataPolicy policy) const {
  WriteIniString(ConfigPath(), QStringLiteral("Output"), QStringLiteral("Metadata"),
                 MetadataPolicyName(policy));
}
