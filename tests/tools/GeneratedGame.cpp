#include "GeneratedGame.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "IniAccess.h"
#include "TextCipher.h"

namespace wf::assetgen::testing {

const GeneratedGame& Generated() {
    static QTemporaryDir temp;
    static const GeneratedGame game = [] {
        GeneratedGame g{temp.path(), BuildGameData()};
        QString error;
        if (!WriteGameData(g.data, g.dir, &error))
            ADD_FAILURE() << error.toStdString();
        return g;
    }();
    return game;
}

QByteArray ReadFileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QImage LoadPicture(const QString& path) {
    return QImage(path);
}

QByteArray ReadDefinition(const QString& modDir, const QString& name) {
    if (ReadIniText(modDir + "/config.ini", "game", "type") != "code") {
        return ReadFileBytes(modDir + "/" + name + ".ini");
    }
    QByteArray plain;
    for (QByteArray line : ReadFileBytes(modDir + "/" + name + ".cod").split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        plain += DecodeText(line, QByteArray(kModKey), true) + "\r\n";
    }
    return plain;
}

}  // namespace wf::assetgen::testing
