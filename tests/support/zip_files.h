#pragma once

// Zip packages for tests: written part by part (a part may be streamed in pieces) and
// read back part by part. Link the test with the minizip library (ph_testzip).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <minizip/unzip.h>
#include <minizip/zip.h>

namespace ph::test {

class ZipWriter {
public:
    explicit ZipWriter(const QString& path) : m_zip(zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE)) {}
    ~ZipWriter() { close(); }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    bool begin(const QString& name) {
        zip_fileinfo info{};
        return m_zip && zipOpenNewFileInZip64(m_zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0,
                                              nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1) == ZIP_OK;
    }
    bool write(const QByteArray& bytes) {
        return zipWriteInFileInZip(m_zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK;
    }
    bool end() { return zipCloseFileInZip(m_zip) == ZIP_OK; }
    bool add(const QString& name, const QByteArray& bytes) { return begin(name) && write(bytes) && end(); }
    bool close() {
        if (!m_zip)
            return true;
        const bool closed = zipClose(m_zip, nullptr) == ZIP_OK;
        m_zip = nullptr;
        return closed;
    }

private:
    zipFile m_zip;
};

// The inflated bytes of one part of the package; empty when it has no such part.
inline QByteArray readZipPart(const QString& path, const QString& name) {
    QByteArray bytes;
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip)
        return bytes;
    if (unzLocateFile(zip, name.toUtf8().constData(), 2) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char buffer[16384];
        int read = 0;
        while ((read = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, read);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return bytes;
}

} // namespace ph::test
