#include "app/MovieErrorText.h"

#include "core/Error.h"
#include "media/MovieError.h"
#include "player/GKitMSPlay.h"

namespace app {

namespace {

QString whatWentWrong(const media::MovieError& error) {
    using Kind = media::MovieError::Kind;
    if (error.frame() >= 0)
        return QStringLiteral("フレーム %1 を読み込めません").arg(error.frame());
    switch (error.kind()) {
    case Kind::NoSuchFile:
        return QStringLiteral("ファイルが見つかりません");
    case Kind::NotAFile:
        return QStringLiteral("ファイルではありません");
    case Kind::NotAMovie:
        return QStringLiteral("動画ファイルとして読み込めません");
    case Kind::NoVideo:
        return QStringLiteral("映像が入っていません");
    case Kind::NoFrames:
        return QStringLiteral("映像のフレームがありません");
    case Kind::Unsupported:
        return QStringLiteral("対応していない圧縮形式です");
    case Kind::Unreadable:
    case Kind::Stopped: // the window never asks a fetch to stop
        break;
    }
    return QStringLiteral("読み込めません");
}

} // namespace

QString movieErrorText(const media::MovieError& error) {
    const std::u8string name = error.file().filename().u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(name.data()), qsizetype(name.size())) +
           QStringLiteral(": ") + whatWentWrong(error);
}

void loadMovie(TGKitMSPlay& player, const QString& fileName) {
    try {
        player.setFileName(fileName);
    } catch (const media::MovieError& error) {
        throw core::Error(movieErrorText(error).toStdString());
    }
}

} // namespace app
