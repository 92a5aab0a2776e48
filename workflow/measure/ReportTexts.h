// The built-in (Japanese) texts of the summary figures, the report and its
// button, each named once; shown through the program's translator.
#pragma once

namespace report_text {
inline constexpr const char* kCount = "個数";
inline constexpr const char* kMean = "平均";
inline constexpr const char* kStdDev = "標準偏差";
inline constexpr const char* kMin = "最小";
inline constexpr const char* kMax = "最大";
inline constexpr const char* kButton = "レポート保存";
inline constexpr const char* kButtonTip = "画像と計測結果をPDFのレポートに保存します";
inline constexpr const char* kTitle = "計測レポート";
inline constexpr const char* kDate = "日時";
inline constexpr const char* kCamera = "カメラ";
inline constexpr const char* kSerial = "シリアル番号";
inline constexpr const char* kResolution = "解像度";
inline constexpr const char* kImageFile = "画像ファイル";
inline constexpr const char* kCalibration = "校正値";
inline constexpr const char* kResults = "計測結果";
inline constexpr const char* kSummary = "集計";
inline constexpr const char* kPage = "%1 / %2 ページ";
inline constexpr const char* kSaved = "レポートを保存しました．";
inline constexpr const char* kFailed = "レポートを保存できません．";
} // namespace report_text
