// Splitting the raw command text.
#include "headplacer/logic/CommandLine.h"

namespace headplacer {

QStringList SplitCommandLine(const QString& rawText, int maxArguments) {
    QStringList result{QString()};
    int i = 0;
    const int n = int(rawText.size());
    while (i < n) {
        while (i < n && (rawText[i] == QLatin1Char(' ') || rawText[i] == QLatin1Char('\t'))) ++i;
        if (i >= n) break;
        if (result.size() - 1 >= maxArguments) break;
        const int start = i;
        while (i < n && rawText[i] != QLatin1Char(' ') && rawText[i] != QLatin1Char('\t')) ++i;
        result.append(rawText.mid(start, i - start));
    }
    return result;
}

QString JoinArguments(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

}  // namespace headplacer
