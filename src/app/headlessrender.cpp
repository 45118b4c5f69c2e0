#include "headlessrender.h"

#include "documentcontroller.h"
#include "documentfile.h"
#include "designfonts.h"
#include "fonts.h"
#include "formdesign.h"
#include "frmmain.h"
#include "pictureexport.h"
#include "runtimeerror.h"
#include "twips.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HeadlessRender {

namespace {

constexpr int FailedStatus = 1;

int fail(QString message)
{
    // One line, whatever the message holds.
    message.replace(u'\n', u' ');
    const QByteArray line = (QStringLiteral("plinthos: ") + message + u'\n').toLocal8Bit();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
    return FailedStatus;
}

// Nothing Qt says reaches standard error: the run succeeds silently or
// fails with its own one line. A fatal message ends it with that line.
void quietMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtFatalMsg)
        return;
    fail(QStringLiteral("the picture could not be drawn: ") + text);
    std::_Exit(FailedStatus);
}

// The settings of the environment that would change the picture: the
// toolkit's scaling, a forced dpi, a platform theme or style. The screen's
// resolution comes from the scale alone.
void ignorePictureSettings()
{
    for (const char *variable : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_SCALE_FACTOR_ROUNDING_POLICY",
                                 "QT_FONT_DPI", "QT_USE_PHYSICAL_DPI", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE"})
        qunsetenv(variable);
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}

// The offscreen platform's one screen, of scale x 96 dpi and as large as
// the window there. The platform reads it from a configuration file; this
// one lives in memory for as long as the object does.
class RenderScreen
{
public:
    explicit RenderScreen(double scale)
        : m_file(memfd_create("plinthos-screen", MFD_CLOEXEC))
    {
        const double dpi = Resolution::StandardDpi * scale;
        const Resolution resolution(dpi, dpi);
        const QJsonObject screen{{"name", "render"},
                                 {"x", 0},
                                 {"y", 0},
                                 {"width", resolution.toPixelsX(FormDesign::ClientWidth)},
                                 {"height", resolution.toPixelsY(FormDesign::ClientHeight)},
                                 {"logicalDpi", dpi},
                                 {"logicalBaseDpi", Resolution::StandardDpi},
                                 {"dpr", 1}};
        const QByteArray json =
            QJsonDocument(QJsonObject{{"synthesizedFrames", false}, {"screens", QJsonArray{screen}}}).toJson();
        if (m_file >= 0 && ::write(m_file, json.constData(), std::size_t(json.size())) == json.size())
            m_platform = "offscreen:configfile=/proc/self/fd/" + QByteArray::number(m_file);
    }
    ~RenderScreen()
    {
        if (m_file >= 0)
            ::close(m_file);
    }
    RenderScreen(const RenderScreen &) = delete;
    RenderScreen &operator=(const RenderScreen &) = delete;

    // The value of Qt's -platform option; empty when the screen could not
    // be made.
    QByteArray platform() const { return m_platform; }

private:
    int m_file;
    QByteArray m_platform;
};

struct Input
{
    ChartDocument document;
    QString path; // empty for standard input
    DocumentFile::Format format = DocumentFile::Format::Chart;
};

// Throws RuntimeError naming the file, the line and the reason.
Input readInput(const QString &name)
{
    Input input;
    const QFileInfo info(name);
    if (name != u'-' && (!info.exists() || info.isFile() || info.isDir())) {
        input.path = name;
        input.document = DocumentFile::read(name, &input.format);
        return input;
    }
    // A script's pipe, such as <(make-table), is read like standard input,
    // as far as a chart file may go.
    if (name != u'-') {
        input.path = name;
        const QString source = QDir::toNativeSeparators(name);
        QFile pipe(name);
        if (!pipe.open(QIODevice::ReadOnly))
            throw RuntimeError(ErrorKind::File, QStringLiteral("%1: it cannot be read: %2.").arg(source, pipe.errorString()));
        input.document = DocumentFile::read(pipe, source, DocumentFile::formatOfName(name), &input.format);
        return input;
    }
    const QString source = QStringLiteral("standard input");
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw RuntimeError(ErrorKind::File, QStringLiteral("%1: it cannot be read: %2.").arg(source, in.errorString()));
    input.document = DocumentFile::read(in, source, std::nullopt, &input.format);
    return input;
}

// The program's own output named as a file (/dev/stdout, /dev/fd/3,
// /proc/self/fd/3): its descriptor, written at its place, not reopened,
// which would truncate a log it appends to. -1 for any other name.
int descriptorOf(const QString &output)
{
    static const QRegularExpression named(QStringLiteral("^/(?:dev/(?:std(out|err)|fd/(\\d+))|proc/self/fd/(\\d+))$"));
    const QRegularExpressionMatch match = named.match(QDir::cleanPath(QFileInfo(output).absoluteFilePath()));
    if (!match.hasMatch())
        return -1;
    if (!match.captured(1).isEmpty())
        return match.captured(1) == u"out" ? STDOUT_FILENO : STDERR_FILENO;
    bool read = false;
    const int descriptor = (match.captured(2) + match.captured(3)).toInt(&read);
    return read ? descriptor : -1;
}

// A device or a pipe (/dev/null, a FIFO) is written into as it is:
// replaced by a file, it would be taken from every other program. A file,
// also one under /dev/shm, is written whole or not at all.
bool isStream(const QString &output)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(output).constData(), &status) == 0 && !S_ISREG(status.st_mode)
        && !S_ISDIR(status.st_mode);
}

// Writes all the bytes into the stream; the reason when it fails.
QString writeAll(std::FILE *stream, const QByteArray &bytes)
{
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream) == std::size_t(bytes.size());
    if (std::fflush(stream) == 0 && written && !std::ferror(stream))
        return {};
    return QString::fromLocal8Bit(std::strerror(errno));
}

int writeOutput(const QByteArray &bytes, const QString &output)
{
    if (output == u'-') {
        const QString problem = writeAll(stdout, bytes);
        return problem.isEmpty() ? 0 : fail(QStringLiteral("the picture could not be written to standard output: %1.").arg(problem));
    }
    const int descriptor = descriptorOf(output);
    if (descriptor >= 0 || isStream(output)) {
        const int duplicate = descriptor >= 0 ? ::dup(descriptor) : -1;
        std::FILE *stream = descriptor >= 0 ? (duplicate >= 0 ? ::fdopen(duplicate, "wb") : nullptr)
                                            : std::fopen(QFile::encodeName(output).constData(), "wb");
        if (!stream && duplicate >= 0)
            ::close(duplicate);
        QString problem = stream ? writeAll(stream, bytes) : QString::fromLocal8Bit(std::strerror(errno));
        if (stream && std::fclose(stream) != 0 && problem.isEmpty())
            problem = QString::fromLocal8Bit(std::strerror(errno));
        return problem.isEmpty() ? 0 : fail(QStringLiteral("The picture could not be saved as %1: %2.").arg(output, problem));
    }
    try {
        PictureExport::writeFile(bytes, output);
    } catch (const RuntimeError &error) {
        return fail(error.message());
    }
    return 0;
}

} // namespace

int run(const CommandLine::Render &request, char *programName)
{
    qInstallMessageHandler(quietMessage);
    Input input;
    try {
        input = readInput(request.input);
    } catch (const RuntimeError &error) {
        return fail(error.message());
    }

    ignorePictureSettings();
    const RenderScreen screen(request.scale);
    if (screen.platform().isEmpty())
        return fail(QStringLiteral("no screen in memory could be made to draw on: %1.")
                        .arg(QString::fromLocal8Bit(std::strerror(errno))));
    // Read meanwhile; the toolkit frees it at its end, so it is read only
    // once the input holds a chart to draw.
    FontConfigurationLoader fontConfiguration;
    QByteArray platformOption = "-platform";
    QByteArray platform = screen.platform();
    std::array<char *, 4> arguments{programName, platformOption.data(), platform.data(), nullptr};
    int argumentCount = 3;
    QApplication app(argumentCount, arguments.data());
    // The platform is loaded; nothing else the picture needs is a plugin:
    // the style and the image types are built in. Left unscanned, the image
    // plugins are not each loaded to be asked whether they write PNG.
    QCoreApplication::setLibraryPaths({});
    QApplication::setStyle(QStringLiteral("Fusion"));
    fontConfiguration.wait();
    installDesignFonts();

    QByteArray bytes;
    try {
        frmMain window;
        window.document()->showDocument(input.document, input.path, input.format);
        bytes = PictureExport::encode(&window, request.format);
    } catch (const RuntimeError &error) {
        return fail(error.message());
    }
    return writeOutput(bytes, request.output);
}

} // namespace HeadlessRender
