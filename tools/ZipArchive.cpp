// SPDX-FileCopyrightText: 2026 The Veyrath authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/ZipArchive.h"

#include <QFile>
#include <unzip.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// minizip's way to ask for a name whatever its letter case.
constexpr int anyCase = 2;

// The entry minizip stands on, read through as it is inflated.
class ZipEntry final : public QIODevice {
public:
    explicit ZipEntry(unzFile zip)
        : m_zip(zip)
    {
    }
    ~ZipEntry() override { ZipEntry::close(); }
    ZipEntry(const ZipEntry&) = delete;
    ZipEntry& operator=(const ZipEntry&) = delete;

    bool start()
    {
        if (unzOpenCurrentFile(m_zip) != UNZ_OK)
            return false;
        return QIODevice::open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    void close() override
    {
        if (!isOpen())
            return;
        QIODevice::close();
        unzCloseCurrentFile(m_zip);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const int read = unzReadCurrentFile(m_zip, data, unsigned(qMin(maxSize, qint64(1) << 20)));
        if (read < 0) {
            setErrorString(read == UNZ_CRCERROR ? u"the entry is damaged"_s
                                                : u"the entry cannot be inflated"_s);
            return -1;
        }
        return read;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    unzFile m_zip;
};

} // namespace

ZipArchive::ZipArchive(const QString& path)
    : m_zip(unzOpen64(QFile::encodeName(path).constData()))
{
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        unzClose(m_zip);
}

bool ZipArchive::contains(const QString& entry) const
{
    return m_zip && unzLocateFile(m_zip, entry.toUtf8().constData(), anyCase) == UNZ_OK;
}

std::unique_ptr<QIODevice> ZipArchive::open(const QString& entry) const
{
    if (!contains(entry))
        return {};
    auto device = std::make_unique<ZipEntry>(m_zip);
    if (!device->start())
        return {};
    return device;
}
