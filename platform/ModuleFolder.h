// The folder of the running program file, with a trailing separator, and the
// program file's base name. Works with or without a Qt application object.
#pragma once

#include <QString>

namespace platform {

QString GetModuleFolder();
QString GetModuleBaseName();
// Lets tests pretend the program lies elsewhere; an empty folder undoes it.
void SetModuleFolderForTest(const QString& folder, const QString& baseName = QString());

QChar PathSeparator();
// Turns either separator into the platform's own.
QString NativePath(const QString& path);

} // namespace platform
