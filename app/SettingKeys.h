// A settings key: where it lies in the file, the field it fills, how its
// value is encoded, its default and the values it accepts. One table of these
// gives a record's defaults, its reading and its writing, in file order.
#pragma once

#include "app/QSFileIni.h"
#include "platform/DrawSetting.h"
#include "platform/ModuleFolder.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

enum class ESettingKind {
    Int,     // "%d"
    Bool,    // "True" / "False"; only the exact text "True" reads as true
    Colour,  // a COLORREF as a decimal integer, 0 .. 0xffffff
    Text,
    Font,    // text in a fixed-length field
    Decimal, // "%.*f" with `places`, read rounded to them
    Exact,   // the shortest text that reads back the same double
    Hook,    // a block with read and write operations of its own
};

enum : uint8_t {
    KEY_CLAMP = 1,    // an integer outside the range is clamped instead of refused
    KEY_NONEMPTY = 2, // an empty text keeps the current value
    KEY_PATH = 4,     // a folder path, in the platform's separators
    KEY_GATE = 8,     // a false flag skips the rest of the table, reading and writing
};
constexpr int PLACES_MEASURE = -1; // as many decimals as the measured values

template <class T>
struct SETTING_KEY {
    QString section;
    QString key;
    QString writeKey; // written under this spelling when not empty (the same key without regard to case)
    ESettingKind kind = ESettingKind::Int;
    void* (*field)(T&, int) = nullptr;
    int nIndex = 0;                       // passed to field: the element of an array
    double dDefault = 0.0;
    const char16_t* pszDefault = nullptr; // texts; null: set by the record's own code
    int32_t lo = INT32_MIN;
    int32_t hi = INT32_MAX;
    int places = 0;
    uint8_t flags = 0;
    void (*pfnDefault)(T&) = nullptr;
    bool (*pfnRead)(T&) = nullptr;
    bool (*pfnWrite)(const T&) = nullptr;
};

// Builders for table rows; out of range values keep the current value.
template <class T>
struct KEYS {
    using KEY = SETTING_KEY<T>;
    using FIELD = void* (*)(T&, int);
    static KEY Int(const QString& sec, const QString& key, FIELD f, int32_t def, int32_t lo = INT32_MIN,
                   int32_t hi = INT32_MAX, uint8_t flags = 0, int nIndex = 0)
    {
        KEY k{sec, key, QString(), ESettingKind::Int, f, nIndex, double(def)};
        k.lo = lo;
        k.hi = hi;
        k.flags = flags;
        return k;
    }
    static KEY Bool(const QString& sec, const QString& key, FIELD f, BOOL def, uint8_t flags = 0)
    {
        KEY k{sec, key, QString(), ESettingKind::Bool, f, 0, double(def)};
        k.flags = flags;
        return k;
    }
    static KEY Colour(const QString& sec, const QString& key, FIELD f, COLORREF def)
    {
        return KEY{sec, key, QString(), ESettingKind::Colour, f, 0, double(def)};
    }
    static KEY Text(const QString& sec, const QString& key, FIELD f, const char16_t* def, uint8_t flags = 0,
                    ESettingKind kind = ESettingKind::Text)
    {
        KEY k{sec, key, QString(), kind, f, 0, 0.0, def};
        k.flags = flags;
        return k;
    }
    static KEY Decimal(const QString& sec, const QString& key, FIELD f, int places,
                       ESettingKind kind = ESettingKind::Decimal)
    {
        KEY k{sec, key, QString(), kind, f};
        k.places = places;
        return k;
    }
    static KEY Hook(void (*pfnDefault)(T&), bool (*pfnRead)(T&), bool (*pfnWrite)(const T&))
    {
        KEY k;
        k.kind = ESettingKind::Hook;
        k.pfnDefault = pfnDefault;
        k.pfnRead = pfnRead;
        k.pfnWrite = pfnWrite;
        return k;
    }
};

namespace settingkeys {
using FONT_FIELD = decltype(DRAW_SETTING::MeasStrFontName);
inline bool IsSane(double v)
{
    return std::isfinite(v) && v >= 0.0 && v < 1.0e12;
}
} // namespace settingkeys

template <class T>
void ApplyDefaults(const std::vector<SETTING_KEY<T>>& table, T& rec)
{
    for (const SETTING_KEY<T>& k : table) {
        if (k.kind == ESettingKind::Hook) {
            k.pfnDefault(rec);
            continue;
        }
        void* p = k.field(rec, k.nIndex);
        switch (k.kind) {
        case ESettingKind::Int:
            *static_cast<int32_t*>(p) = int32_t(k.dDefault);
            break;
        case ESettingKind::Bool:
            *static_cast<BOOL*>(p) = BOOL(k.dDefault);
            break;
        case ESettingKind::Colour:
            *static_cast<COLORREF*>(p) = COLORREF(k.dDefault);
            break;
        case ESettingKind::Text:
            if (k.pszDefault != nullptr) {
                *static_cast<QString*>(p) = QString::fromUtf16(k.pszDefault);
            }
            break;
        case ESettingKind::Font:
            CopyTextField(*static_cast<settingkeys::FONT_FIELD*>(p), k.pszDefault);
            break;
        case ESettingKind::Decimal:
        case ESettingKind::Exact:
            *static_cast<double*>(p) = k.dDefault;
            break;
        case ESettingKind::Hook:
            break;
        }
    }
}

// Every key in table order, the field's current value being the default.
// pPlaces: the decimals of PLACES_MEASURE keys (a field read earlier).
template <class T>
bool ReadKeys(const CQSFileIni& ini, const std::vector<SETTING_KEY<T>>& table, T& rec,
              const int32_t* pPlaces = nullptr)
{
    bool bOk = true;
    for (const SETTING_KEY<T>& k : table) {
        if (k.kind == ESettingKind::Hook) {
            bOk = k.pfnRead(rec) && bOk;
            continue;
        }
        void* p = k.field(rec, k.nIndex);
        switch (k.kind) {
        case ESettingKind::Int: {
            int32_t& v = *static_cast<int32_t*>(p);
            const int32_t n = ini.ReadInt(k.section, k.key, v);
            v = (n >= k.lo && n <= k.hi) ? n : ((k.flags & KEY_CLAMP) ? std::clamp(n, k.lo, k.hi) : v);
            break;
        }
        case ESettingKind::Bool: {
            BOOL& v = *static_cast<BOOL*>(p);
            v = ini.ReadBool(k.section, k.key, v);
            if ((k.flags & KEY_GATE) && !v) {
                return bOk;
            }
            break;
        }
        case ESettingKind::Colour: {
            COLORREF& v = *static_cast<COLORREF*>(p);
            const int32_t n = ini.ReadInt(k.section, k.key, int32_t(v));
            v = (n < 0 || n > 0xffffff) ? v : COLORREF(n);
            break;
        }
        case ESettingKind::Text: {
            QString& v = *static_cast<QString*>(p);
            QString t = ini.ReadString(k.section, k.key, v);
            t = (k.flags & KEY_PATH) ? platform::NativePath(t) : t;
            v = ((k.flags & KEY_NONEMPTY) && t.trimmed().isEmpty()) ? v : t;
            break;
        }
        case ESettingKind::Font: {
            auto& v = *static_cast<settingkeys::FONT_FIELD*>(p);
            const QString t = ini.ReadString(k.section, k.key, QString::fromUtf16(v));
            if (!t.trimmed().isEmpty()) {
                CopyTextField(v, t.toStdU16String());
            }
            break;
        }
        case ESettingKind::Decimal:
        case ESettingKind::Exact: {
            double& v = *static_cast<double*>(p);
            const int places = k.places == PLACES_MEASURE ? *pPlaces : k.places;
            const double d = k.kind == ESettingKind::Exact ? ini.ReadExactDouble(k.section, k.key, v)
                                                           : ini.ReadDouble(k.section, k.key, v, places);
            v = settingkeys::IsSane(d) ? d : v;
            break;
        }
        case ESettingKind::Hook:
            break;
        }
    }
    return bOk;
}

// Every key in table order; false when any write failed.
template <class T>
bool WriteKeys(const CQSFileIni& ini, const std::vector<SETTING_KEY<T>>& table, const T& rec,
               const int32_t* pPlaces = nullptr)
{
    bool bOk = true;
    for (const SETTING_KEY<T>& k : table) {
        if (k.kind == ESettingKind::Hook) {
            bOk = k.pfnWrite(rec) && bOk;
            continue;
        }
        const void* p = k.field(const_cast<T&>(rec), k.nIndex);
        const QString& key = k.writeKey.isEmpty() ? k.key : k.writeKey;
        switch (k.kind) {
        case ESettingKind::Int:
            bOk = ini.WriteInt(k.section, key, *static_cast<const int32_t*>(p)) && bOk;
            break;
        case ESettingKind::Bool: {
            const BOOL v = *static_cast<const BOOL*>(p);
            bOk = ini.WriteBool(k.section, key, v) && bOk;
            if ((k.flags & KEY_GATE) && !v) {
                return bOk; // the keys it gates stay in the file as they were
            }
            break;
        }
        case ESettingKind::Colour:
            bOk = ini.WriteInt(k.section, key, int32_t(*static_cast<const COLORREF*>(p))) && bOk;
            break;
        case ESettingKind::Text:
            bOk = ini.WriteString(k.section, key, *static_cast<const QString*>(p)) && bOk;
            break;
        case ESettingKind::Font:
            bOk = ini.WriteString(k.section, key,
                                  QString::fromStdU16String(
                                      TextFieldString(*static_cast<const settingkeys::FONT_FIELD*>(p)))) &&
                  bOk;
            break;
        case ESettingKind::Decimal:
            bOk = ini.WriteDouble(k.section, key, *static_cast<const double*>(p),
                                  k.places == PLACES_MEASURE ? *pPlaces : k.places) &&
                  bOk;
            break;
        case ESettingKind::Exact:
            bOk = ini.WriteExactDouble(k.section, key, *static_cast<const double*>(p)) && bOk;
            break;
        case ESettingKind::Hook:
            break;
        }
    }
    return bOk;
}
