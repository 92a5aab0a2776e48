// What the user is told when a file could not be written: the reason for a
// system error number, and the texts of the messages that carry it.
#pragma once

#include "platform/WinTypes.h"

#include <QString>

constexpr UINT IDS_SETTINGS_NOT_SAVED = 660;      // the settings file kept its old contents
constexpr UINT IDS_REASON_DISK_FULL = 661;
constexpr UINT IDS_REASON_NOT_WRITABLE = 662;
constexpr UINT IDS_REASON_KEPT_UNREADABLE = 663;  // a file that could not be read without loss
constexpr UINT IDS_REASON_UNSTORABLE_TEXT = 664;
constexpr UINT IDS_REASON_WRITE_ERROR = 665;
constexpr UINT IDS_IMAGES_SAVED_COUNT = 666;      // "%1" images of a series were saved
constexpr UINT IDS_SERIES_FOLDER_NOT_WRITABLE = 667;

// The translated reason for errno nError (EPERM: a file kept as it was
// because it could not be read without loss; EILSEQ: a value the file
// cannot hold).
QString WriteFailureReason(int nError);
// The warning that the settings file at path was not written.
QString SettingsNotSavedText(const QString& path, int nError);
