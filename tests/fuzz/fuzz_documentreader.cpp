// libFuzzer target of the collage file reader. Every input is read as a
// collage file; whatever the reader accepts must also save and read back,
// so a reader that lets through a document the program cannot handle shows
// up as a crash just like a reader that crashes itself.

#include <QApplication>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzzmessages.h"
#include "io/documentbytes.h"
#include "model/document.h"
#include "model/randomgenerator.h"
#include "themes/builtinthemes.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    static int argc = 1;
    static char name[] = "fuzz_documentreader";
    static char *argv[] = { name, nullptr };
    static QApplication application(argc, argv);
    BuiltInThemes::registerAll();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The same input lays out the same way every time.
    RandomGenerator::seed(1);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (std::unique_ptr<Document> document = DocumentBytes::read(bytes)) {
        const QByteArray saved = DocumentBytes::write(*document);
        if (saved.isEmpty()) {
            fprintf(stderr, "accepted document could not be written\n");
            abort();
        }
        if (!DocumentBytes::read(saved)) {
            fprintf(stderr, "written document could not be read again\n");
            abort();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
