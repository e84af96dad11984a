#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

void WriteTestFile(const std::string& path, const std::string& content)
{
    const QString name = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(name).absolutePath());
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path);
    file.write(content.data(), static_cast<qint64>(content.size()));
}

std::string ReadTestFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path);
    const QByteArray data = file.readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}
