// libFuzzer target for the receive path: arbitrary bytes, cut into arbitrary reads, go through
// the frame splitter; every frame it delivers goes through the frame check and the answer
// parser. The raw input is also decoded as a payload on both ports.
#include "frame.h"
#include "framesplitter.h"
#include "packparser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static PackParser *parser = [] {
        registerLinkMetaTypes();
        return new PackParser(nullptr);
    }();

    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    FrameSplitter splitter;
    QList<QByteArray> frames;
    // The first byte chooses the read size, so the fuzzer explores how reads cut frames.
    const int step = size > 0 ? (data[0] % 64) + 1 : 1;
    for (int pos = 1; pos < input.size(); pos += step)
        frames += splitter.feed(input.mid(pos, step));
    frames += splitter.flushStale();
    if (splitter.hasPartial())
        __builtin_trap(); // a flush leaves nothing behind

    for (const QByteArray &frame : frames) {
        QByteArray payload;
        quint8 port = 0;
        if (!Frame::check(frame, &payload, &port))
            __builtin_trap(); // the splitter only delivers sound frames
        parser->dataParser(payload, port);
    }
    parser->dataParser(input, 1);
    parser->dataParser(input, 2);
    return 0;
}
