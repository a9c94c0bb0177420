// The configuration file Config.ini and the data folders under the application folder.
#pragma once

#include <QString>

#include "base/metadata_policy.h"

// Paths of the application folder. Config.ini keeps "0" as the default of every key: for the
// photo folder it stands for DATA/Photo, for a template category it is an ordinary folder name.
// The three template categories; the numbers are the ones of the Template<n> keys.
enum class TemplateCategory : int { Texture = 1, Color = 2, Cool = 3 };

class Config {
 public:
  explicit Config(QString app_folder);
  // shipped_folder holds what the installation ships and the program only reads (the manual); it
  // is the application folder itself unless the program is installed.
  Config(QString app_folder, QString shipped_folder);

  const QString& AppFolder() const { return app_folder_; }
  const QString& ShippedFolder() const { return shipped_folder_; }

  // The configuration file, found whatever the case of its name; "Config.ini" when there is none.
  QString ConfigPath() const;

  // The photo folder: Photo/Template, where "0" (also the default) means DATA/Photo.
  QString PhotoFolder() const;
  QString DefaultPhotoFolder() const;
  // Remembers a chosen photo folder in Photo/Template. Throws "Unable to write to".
  void SetPhotoFolder(const QString& folder) const;

  // The folder name of a template category (Template/Template<n>, default "0") and the category
  // folder DATA/Mask/<name>/ (with its trailing slash).
  QString TemplateFolderName(TemplateCategory category) const;
  QString TemplateFolder(TemplateCategory category) const;
  // The same category folder in the installation's shipped data, which is only read: empty when the
  // program is not installed (the application folder is the shipped folder then).
  QString ShippedTemplateFolder(TemplateCategory category) const;
  // Whether path lies in the installation's shipped data (never when not installed).
  bool IsShipped(const QString& path) const;

  // What saved, printed, mailed and batch-saved pictures keep of the photo's information:
  // Output/Metadata = keep (also the default, and what an unknown word means), strip or nolocation.
  MetadataPolicy OutputMetadata() const;
  // Throws "Unable to write to".
  void SetOutputMetadata(MetadataPolicy policy) const;

 private:
  QString app_folder_;
  QString shipped_folder_;
};
