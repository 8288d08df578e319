// Zip reading and writing of package parts with libzip.
#include "platform/sheet/Package.h"

#include "platform/FileSync.h"

#include "platform/sheet/Errors.h"
#include "platform/sheet/WriteGuard.h"

#include <zip.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>

namespace sheet {

namespace {

// Every entry of an open archive; entry names written with "\" (some zip tools on Windows) are
// read with "/".
void readArchive(zip_t* z, const QString& path, std::vector<std::pair<QString, QByteArray>>& parts) {
    const zip_int64_t n = zip_get_num_entries(z, 0);
    // The parts together are limited too: many parts each under the limit of one would still
    // inflate a small file to gigabytes. Declared sizes are summed first; a part that inflates
    // past its declared size is refused below.
    constexpr zip_uint64_t totalLimit = zip_uint64_t(1) << 29;
    zip_uint64_t total = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) continue;
        total += std::min<zip_uint64_t>(st.size, totalLimit + 1);
        if (total > totalLimit) {
            zip_discard(z);
            throw FileError(QStringLiteral("Części pliku \"%1\" są razem zbyt duże").arg(path));
        }
    }
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) || !st.name)
            continue;
        QString name = QString::fromUtf8(st.name);
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        while (name.startsWith(QLatin1Char('/'))) name.remove(0, 1);
        if (name.isEmpty() || name.endsWith(QLatin1Char('/'))) continue;
        // The declared size is not trusted: the part is read in pieces up to a limit, so a header
        // that lies (or a part that inflates without end) costs no more than the data it holds.
        constexpr qsizetype limit = qsizetype(1) << 28;
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > zip_uint64_t(limit)) {
            zip_discard(z);
            throw FileError(QStringLiteral("Część \"%1\" pliku \"%2\" jest zbyt duża").arg(name, path));
        }
        QByteArray data;
        data.reserve(qsizetype(std::min<zip_uint64_t>(st.size, zip_uint64_t(1) << 24)) + 1);
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        bool ok = f != nullptr;
        while (ok) {
            const qsizetype have = data.size();
            const qsizetype chunk = std::min<qsizetype>(qsizetype(1) << 20, qsizetype(st.size) - have + 1);
            if (data.capacity() < have + chunk) data.reserve(std::max(have + chunk, 2 * data.capacity()));
            data.resize(have + chunk);
            const zip_int64_t got = zip_fread(f, data.data() + have, zip_uint64_t(chunk));
            if (got < 0) ok = false;
            data.resize(have + (got > 0 ? qsizetype(got) : 0));
            if (got <= 0 || data.size() > qsizetype(st.size)) break;
        }
        if (f) zip_fclose(f);
        if (!ok || zip_uint64_t(data.size()) != st.size) {
            zip_discard(z);
            throw FileError(QStringLiteral("Uszkodzony plik \"%1\" (część \"%2\")").arg(path, name));
        }
        parts.emplace_back(name, data);
    }
    zip_discard(z);
}

}  // namespace

Package Package::read(const QString& path) {
    if (!QFileInfo(path).isFile()) throw FileError(QStringLiteral("Nie znaleziono pliku \"%1\"").arg(path));
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z)
        throw FileError(
            QStringLiteral("Plik \"%1\" nie jest skoroszytem (to nie jest archiwum zip)").arg(path));
    Package p;
    readArchive(z, path, p.parts_);
    return p;
}

Package Package::fromBuffer(const QByteArray& zipData, const QString& name) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src =
        zip_source_buffer_create(zipData.constData(), zip_uint64_t(zipData.size()), 0, &error);
    zip_t* z = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!z) {
        if (src) zip_source_free(src);
        throw FileError(
            QStringLiteral("Plik \"%1\" nie jest skoroszytem (to nie jest archiwum zip)").arg(name));
    }
    Package p;
    readArchive(z, name, p.parts_);
    return p;
}

namespace {
// A save that failed, with the file and the cause.
[[noreturn]] void saveFailed(const QString& path, const QString& cause) {
    throw FileError(QStringLiteral("Nie można zapisać pliku \"%1\": %2").arg(path, cause));
}
QString zipCause(zip_error_t* error) {
    if (zip_error_system_type(error) == ZIP_ET_SYS && zip_error_code_system(error) != 0)
        return systemErrorText(zip_error_code_system(error));
    return QString::fromUtf8(zip_error_strerror(error));
}
}  // namespace

void Package::write(const QString& path) const {
    // A temporary name of this writer's own: two programs saving one workbook never write into
    // each other's file.
    static std::atomic<int> saves{0};
    const QString temp = QStringLiteral("%1.%2-%3.tmp~")
                             .arg(path)
                             .arg(QCoreApplication::applicationPid())
                             .arg(saves.fetch_add(1) + 1);
    QFile::remove(temp);
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(temp).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z) {
        zip_error_t error;
        zip_error_init_with_code(&error, err);
        const QString cause = zipCause(&error);
        zip_error_fini(&error);
        saveFailed(path, cause);
    }
    for (const auto& [name, data] : parts_) {
        zip_source_t* src = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index =
            src ? zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            const QString cause = zipCause(zip_get_error(z));
            if (src) zip_source_free(src);
            zip_discard(z);
            QFile::remove(temp);
            saveFailed(path, cause);
        }
        // Large sheets dominate saving time; the fastest deflate level costs little in size.
        if (data.size() > 65536) zip_set_file_compression(z, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(z) != 0) {
        const QString cause = zipCause(zip_get_error(z));
        zip_discard(z);
        QFile::remove(temp);
        saveFailed(path, cause);
    }
    // Replace the old file only once the new one is complete and on disk, in one step.
    if (const int error = platform::syncFile(QFile::encodeName(temp)); error != 0) {
        QFile::remove(temp);
        saveFailed(path, systemErrorText(error));
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(temp);
        saveFailed(path, systemErrorText(error));
    }
    platform::syncFolder(QFile::encodeName(QFileInfo(path).absolutePath()));
}

bool Package::contains(const QString& name) const {
    for (const auto& p : parts_)
        if (p.first == name) return true;
    return false;
}

QByteArray Package::part(const QString& name) const {
    for (const auto& p : parts_)
        if (p.first == name) return p.second;
    return QByteArray();
}

void Package::setPart(const QString& name, const QByteArray& data) {
    for (auto& p : parts_)
        if (p.first == name) {
            p.second = data;
            return;
        }
    parts_.emplace_back(name, data);
}

void Package::removePart(const QString& name) {
    std::erase_if(parts_, [&](const auto& p) { return p.first == name; });
}

}  // namespace sheet
