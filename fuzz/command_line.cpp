// The command-line splitting and the switches over arbitrary lines. Input:
// the line as UTF-8. The split is checked against a plain reading of its
// rules: tokens end at blanks, a last tail counts only from 3 characters on,
// at most ten tokens.
#include <cstdint>
#include <cstdlib>

#include "CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList tokens = wf::SplitCommandLine(line);

    QStringList expected = line.split(QLatin1Char(' '));
    const QString tail = expected.takeLast();
    if (tail.size() >= 3)
        expected.append(tail);
    if (expected.size() > wf::kMaxCommandTokens)
        expected.resize(wf::kMaxCommandTokens);
    if (line.isEmpty())
        expected.clear();
    if (tokens != expected)
        std::abort();

    // The switches: the last debug switch decides the style, the last -mod:
    // token the MOD; nothing else changes an option.
    const wf::CommandLineOptions options = wf::ApplySwitches(tokens);
    bool debug = false;
    int style = 2;
    QString mod;
    for (const QString& t : tokens) {
        if (t == "-debug:style:1" || t == "-Debug:style:1") {
            debug = true;
            style = 1;
        } else if (t == "-debug" || t == "-Debug" || t == "-debug:style:2" ||
                   t == "-Debug:style:2") {
            debug = true;
            style = 2;
        } else if (t.left(5) == "-mod:") {
            mod = t.sliced(5);
        }
    }
    if (options.debugMode != debug || options.debugStyle != style || options.modName != mod)
        std::abort();

    // Arguments without blanks survive joining and splitting (apart from a
    // short last one).
    const QStringList args = line.split(QLatin1Char('\n'));
    bool plain = args.size() <= wf::kMaxCommandTokens && args.last().size() >= 3;
    for (const QString& a : args)
        plain = plain && !a.contains(QLatin1Char(' '));
    if (plain && wf::SplitCommandLine(wf::JoinCommandLine(args)) != args)
        std::abort();
    return 0;
}
