// The translator's string numbers of still capture, image files and
// continuous save.
#pragma once

#include "platform/WinTypes.h"
#include "workflow/MainStrings.h" // the question before results are cleared

constexpr UINT IDS_SAVE_CONTINUE = 151;          // 連続保存
constexpr UINT IDS_SAVE_STOP = 152;              // 保存停止
constexpr UINT IDS_TIP_SAVE_INTERVAL = 275;
constexpr UINT IDS_TIP_SAVE_ON_CLICK = 276;
constexpr UINT IDS_TIP_SAVE_STOP = 277;
constexpr UINT IDS_CAPTURING = 501;
constexpr UINT IDS_CAPTURED = 502;
constexpr UINT IDS_IMAGE_LOADED = 503;
constexpr UINT IDS_IMAGE_SAVED = 504;
constexpr UINT IDS_SAVING_CONTINUE = 505;
constexpr UINT IDS_SAVE_CONTINUE_ENDED = 506;
constexpr UINT IDS_SAVE_CONTINUE_STOPPED = 507;
constexpr UINT IDS_CAPTURE_ERROR = 603;
constexpr UINT IDS_LOAD_ERROR = 605;
constexpr UINT IDS_SAVE_ERROR = 606;
constexpr UINT IDS_FILE_NUMBER_FULL = 608;
constexpr UINT IDS_FOLDER_NUMBER_FULL = 609;

// Video recording.
constexpr UINT IDS_UNIT_SECOND = 190;            // 秒
constexpr UINT IDS_VIDEO_FILE_FILTER = 251;      // 動画ファイル
constexpr UINT IDS_RECORDING_VIDEO = 510;
constexpr UINT IDS_VIDEO_SAVED = 511;
constexpr UINT IDS_VIDEO_START_ERROR = 607;
constexpr UINT IDS_VIDEO_ENDED_EARLY = 627;
