// Windows code pages 1250 (Central European, Polish drawings) and 1252 (Western) by table; other
// pages read as 1252 so that no byte is lost silently from the ASCII range.
#include "platform/cad/dxf/CodePage.h"

namespace cad::dxf {

namespace {

const char16_t cp1250[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021, 0x0000, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};
const char16_t cp1252[128] = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152,
    0x0000, 0x017D, 0x0000, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0,
    0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD,
    0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA,
    0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4,
    0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};

void appendEscape(QByteArray& out, char16_t u) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", unsigned(u));
    out += "\\U+";
    out += buf;
}

}  // namespace

CodePage::CodePage(const QString& name, bool utf8) : utf8_(utf8) {
    const QString n = name.trimmed().toUpper();
    if (n == QLatin1String("ANSI_1250")) {
        table_ = cp1250;
        name_ = QStringLiteral("ANSI_1250");
    } else {
        table_ = cp1252;
        name_ = QStringLiteral("ANSI_1252");
    }
}

CodePage::~CodePage() = default;

QString CodePage::decode(const char* data, qsizetype size) const {
    bool ascii = true;
    bool escapes = false;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80)
            ascii = false;
        else if (c == '\\' && i + 2 < size && (data[i + 1] == 'U' || data[i + 1] == 'u') &&
                 data[i + 2] == '+')
            escapes = true;
    }
    QString out;
    if (ascii) {
        out = QString::fromLatin1(data, size);
    } else if (utf8_) {
        out = QString::fromUtf8(data, size);
    } else {
        out.resize(size);
        QChar* p = out.data();
        for (qsizetype i = 0; i < size; ++i) {
            const unsigned char c = static_cast<unsigned char>(data[i]);
            const char16_t u = c < 0x80 ? char16_t(c) : table_[c - 0x80];
            p[i] = QChar(u ? u : char16_t(0xFFFD));
        }
    }
    if (!escapes) return out;
    QString resolved;
    resolved.reserve(out.size());
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out.at(i) == '\\' && i + 6 < out.size() && (out.at(i + 1) == 'U' || out.at(i + 1) == 'u') &&
            out.at(i + 2) == '+') {
            bool ok = false;
            const uint code = out.mid(i + 3, 4).toUInt(&ok, 16);
            if (ok && out.mid(i + 3, 4).size() == 4) {
                resolved.append(QChar(char16_t(code)));
                i += 6;
                continue;
            }
        }
        resolved.append(out.at(i));
    }
    return resolved;
}

bool CodePage::canEncode(const QString& text) const {
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) continue;
        bool found = false;
        for (int i = 0; i < 128 && !found; ++i) found = table_[i] == u;
        if (!found) return false;
    }
    return true;
}

QByteArray CodePage::encode(const QString& text) const {
    QByteArray out;
    encodeTo(text, out);
    return out;
}

void CodePage::encodeTo(const QString& text, QByteArray& out) const {
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            out.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 128; ++i)
            if (table_[i] == u) {
                found = i;
                break;
            }
        if (found >= 0)
            out.append(char(0x80 + found));
        else
            appendEscape(out, u);
    }
}

}  // namespace cad::dxf
