// The line protocol between the calculator and its browser helper: any bytes,
// cut into any chunks, fed to the line reader both sides use, and every line
// read as the helper reads a command and as the calculator reads a report.
//
// Input: byte 0 picks the chunk size, byte 1 whether a run near the 1 MiB
// bound goes into the middle (so that lines around the bound come up), the
// rest is the channel's bytes.
//
// Properties:
// - Escape keeps a text on one line and Unescape gives it back exactly;
// - the lines read do not depend on how the bytes were cut;
// - no line read holds a line end or is over the bound, and the unfinished
//   line held never is either; the lines read and dropped are the lines sent;
// - a command's address argument, escaped again, reads back as the same command.

#include "fuzzcheck.h"
#include "web/protocol.h"

#include <algorithm>

using namespace fairstake::web::protocol;

namespace {

QList<QByteArray> ReadAll(const QByteArray& bytes, std::size_t chunk, int* dropped) {
    LineBuffer buffer(nullptr);
    QList<QByteArray> lines;
    for (qsizetype at = 0; at < bytes.size(); at += qsizetype(chunk)) {
        buffer.append(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(qsizetype(chunk), bytes.size() - at)));
        FUZZ_CHECK(buffer.unfinished() <= LineBuffer::kMaxLine);
        while (std::optional<QByteArray> line = buffer.takeLine())
            lines.append(*line);
    }
    *dropped = buffer.dropped();
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const QByteArray once(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    // From 0xF0 on, the bytes with a run of the bound's size (less 0 to 15
    // bytes) in their middle, in chunks of 4 KiB to 1 MiB as the channel gives
    // them; below, the bytes up to four times, in chunks of 1 byte on.
    const bool stretched = data[1] >= 0xF0;
    const std::size_t chunk = std::size_t(1) << (stretched ? 12 + data[0] % 9 : data[0] % 13);
    const QByteArray bytes = stretched ? once + QByteArray(LineBuffer::kMaxLine - data[1] % 16, 'x') + once
                                       : once.repeated(1 + data[1] % 4);

    // Escape and Unescape, on the bytes as text.
    const QString text = QString::fromUtf8(once);
    const QString escaped = Escape(text);
    FUZZ_CHECK(!escaped.contains(u'\n') && !escaped.contains(u'\r'));
    FUZZ_CHECK(Unescape(escaped) == text);
    FUZZ_CHECK(Unescape(text).size() <= text.size());

    int dropped = 0;
    const QList<QByteArray> lines = ReadAll(bytes, chunk, &dropped);
    int droppedWhole = 0;
    FUZZ_CHECK(lines == ReadAll(bytes, std::size_t(bytes.size()) + 1, &droppedWhole));
    FUZZ_CHECK(dropped == droppedWhole);
    // The lines sent: every segment ended by a line end, of at most the bound;
    // the others, and an unfinished last one over the bound, are dropped.
    QList<QByteArray> sent = bytes.split('\n');
    const QByteArray unfinished = sent.takeLast();
    int over = unfinished.size() > LineBuffer::kMaxLine ? 1 : 0;
    over += int(std::count_if(sent.cbegin(), sent.cend(), [](const QByteArray& l) { return l.size() > LineBuffer::kMaxLine; }));
    sent.removeIf([](const QByteArray& l) { return l.size() > LineBuffer::kMaxLine; });
    FUZZ_CHECK(lines == sent);
    FUZZ_CHECK(dropped == over);
    for (const QByteArray& line : lines) {
        FUZZ_CHECK(!line.contains('\n') && line.size() <= LineBuffer::kMaxLine);
        const QString lineText = QString::fromUtf8(line);
        // The helper's reading.
        const CommandLine command = ParseCommand(lineText);
        if (command.command == Command::Address) {
            const CommandLine again = ParseCommand(QStringLiteral("address ") + Escape(command.argument));
            FUZZ_CHECK(again.command == Command::Address && again.argument == command.argument);
        } else {
            FUZZ_CHECK(command.argument.isEmpty());
        }
        // The calculator's reading.
        const Line report = Split(lineText);
        FUZZ_CHECK(!report.word.contains(u' '));
        FUZZ_CHECK((lineText.contains(u' ') ? report.word + u' ' + report.argument : report.word) == lineText);
    }
    return 0;
}
