// The parts of an .xlsx package (a zip of XML files), kept in their order so that a workbook is
// written back with every part the model does not touch unchanged.
#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace sheet {

class Package {
public:
    // Reads every entry of the zip file; throws FileError.
    static Package read(const QString& path);
    // Reads every entry of a zip held in memory; `name` names it in messages. Throws FileError.
    static Package fromBuffer(const QByteArray& zipData, const QString& name);
    // Writes the parts to a temporary file beside `path` and moves it over `path`; throws FileError.
    void write(const QString& path) const;

    bool contains(const QString& name) const;
    QByteArray part(const QString& name) const;  // empty when absent
    void setPart(const QString& name, const QByteArray& data);
    void removePart(const QString& name);
    const std::vector<std::pair<QString, QByteArray>>& parts() const { return parts_; }

private:
    std::vector<std::pair<QString, QByteArray>> parts_;
};

}  // namespace sheet
