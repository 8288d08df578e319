// Text in DXF files: the drawing's code page (Windows ANSI pages), UTF-8 from R2007 on, and the
// \U+XXXX escapes for characters the code page lacks.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace cad::dxf {

class CodePage {
public:
    // `name` as in $DWGCODEPAGE ("ANSI_1250"); `utf8` for R2007 and later files.
    CodePage(const QString& name, bool utf8);
    ~CodePage();
    // Decodes a value, resolving \U+XXXX escapes.
    QString decode(const char* data, qsizetype size) const;
    // Encodes a value; characters outside the code page become \U+XXXX.
    QByteArray encode(const QString& text) const;
    // The same, appended to `out`.
    void encodeTo(const QString& text, QByteArray& out) const;
    // True when every character of the text has a byte in this page.
    bool canEncode(const QString& text) const;
    // The name written to $DWGCODEPAGE (a page this class can encode).
    QString name() const { return name_; }

private:
    QString name_;
    bool utf8_;
    const char16_t* table_ = nullptr;  // 0x80..0xFF, or nullptr for Latin-1
};

}  // namespace cad::dxf
