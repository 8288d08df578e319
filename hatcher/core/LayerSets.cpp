// Reading and writing the layer-set file of hatcher.
#include "hatcher/core/LayerSets.h"

#include "common/TextHelpers.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace hatcher {

LayerSetTable LayerSets;
QString LayerSetsFilePath;

const QStringList& TrafficLayers() {
    static const QStringList layers{
        QStringLiteral("113-STRUMIENIE_RUCHU"),          QStringLiteral("114-PUNKTY_KOLIZJI"),
        QStringLiteral("400-DLUGOSCI_STRUMIENI"),        QStringLiteral("402-POWIAZANIA_PRZEJSC"),
        QStringLiteral("403-DLUGOSCI_POWIAZAN_PRZEJSC"), QStringLiteral("404-ODCINKI_POWIAZAN_PRZEJSC")};
    return layers;
}

namespace {

// The file is in the Polish ANSI code page; a file that is valid UTF-8 is read as UTF-8.
QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid()) return cp1250(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray encode(const QString& text) {
    QStringEncoder cp1250("windows-1250");
    if (cp1250.isValid()) {
        QByteArray out = cp1250(text);
        if (!cp1250.hasError()) return out;
    }
    return text.toUtf8();
}

}  // namespace

bool ReadLayerSets(const QString& path, LayerSetTable& sets, QStringList* problems) {
    for (auto& s : sets) s.fill(QString());
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QString text = decode(f.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    int set = -1;
    int slot = 0;
    int lineNo = 0;
    for (QString line : lines) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1String("<ZESTAW"))) {
            const QChar c = line.size() > 7 ? line.at(7) : QChar();
            const int n = c.isDigit() ? c.digitValue() : -1;
            slot = 0;
            set = (n >= 1 && n <= LayerSetCount) ? n - 1 : -1;
            if (set < 0 && problems)
                problems->append(
                    QStringLiteral("Niepoprawny nagłówek zestawu w wierszu %1: %2")
                        .arg(lineNo)
                        .arg(common::ShortForMessage(line)));
            continue;
        }
        if (set < 0) continue;
        if (slot >= LayerSetSize) {
            if (problems)
                problems->append(QStringLiteral("Zestaw %1 może zawierać najwyżej %2 warstw; pominięto: %3")
                                     .arg(set + 1)
                                     .arg(LayerSetSize)
                                     .arg(common::ShortForMessage(line)));
            continue;
        }
        sets[size_t(set)][size_t(slot++)] = line;
    }
    return true;
}

bool WriteLayerSets(const QString& path, const LayerSetTable& sets) {
    QString text;
    for (int n = 0; n < LayerSetCount; ++n) {
        text += QStringLiteral("<ZESTAW%1>\r\n").arg(n + 1);
        for (const QString& name : sets[size_t(n)])
            if (!name.isEmpty()) text += name + QStringLiteral("\r\n");
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(encode(text));
    return f.commit();
}

QStringList LayerSetNames(const LayerSetTable& sets, int index) {
    QStringList out;
    if (index < 0 || index >= LayerSetCount) return out;
    for (const QString& name : sets[size_t(index)])
        if (!name.isEmpty()) out << name;
    return out;
}

}  // namespace hatcher
