#include "app/dialogs/NumberText.h"

#include <QLineEdit>

#include <cmath>
#include <limits>
#include <memory>

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype SkipBlanks(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return i;
}

} // namespace

int ParseLeadingInt(const QString& text)
{
    qsizetype i = SkipBlanks(text);
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        bNegative = text[i] == u'-';
        ++i;
    }
    long long n = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        n = n * 10 + (text[i].unicode() - u'0');
        if (n > kLimit) {
            n = kLimit;
        }
    }
    if (bNegative) {
        n = -n;
    }
    if (n > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(n);
}

double ParseLeadingDouble(const QString& text)
{
    const qsizetype nStart = SkipBlanks(text);
    qsizetype i = nStart;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    qsizetype nDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        ++nDigits;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            ++nDigits;
        }
    }
    if (nDigits == 0) {
        return 0.0;
    }
    // An exponent counts only when digits follow it.
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    bool bOk = false;
    const double d = text.mid(nStart, i - nStart).toDouble(&bOk);
    return bOk && std::isfinite(d) ? d : 0.0;
}

void InstallTextCorrection(QLineEdit* pEdit, std::function<QString(const QString&)> correct)
{
    if (pEdit == nullptr) {
        return;
    }
    auto pCorrect = std::make_shared<std::function<QString(const QString&)>>(std::move(correct));
    auto apply = [pEdit, pCorrect](const QString& text) {
        const QString fixed = (*pCorrect)(text);
        if (fixed != text) {
            // Setting the text reports a change again; the corrected text is
            // its own correction, so this ends there.
            pEdit->setText(fixed);
        }
    };
    QObject::connect(pEdit, &QLineEdit::textChanged, pEdit, apply);
    apply(pEdit->text());
}
