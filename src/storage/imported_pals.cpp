#include "storage/imported_pals.h"

#include "core/texts.h"

std::string DescribeImportProblem(const ImportProblem& problem) {
    using Kind = ImportProblem::Kind;
    const char* text = texts::kProblemLineTooLong;
    switch (problem.kind) {
        case Kind::CardNotEnded:
            text = texts::kProblemCardNotEnded;
            break;
        case Kind::LineTooLong:
            text = texts::kProblemLineTooLong;
            break;
        case Kind::PhotoTooLarge:
            text = texts::kProblemPhotoTooLarge;
            break;
        case Kind::BadBase64:
            text = texts::kProblemBadBase64;
            break;
        case Kind::NulBytes:
            text = texts::kProblemNulBytes;
            break;
        case Kind::QuoteNotClosed:
            text = texts::kProblemQuoteNotClosed;
            break;
        case Kind::FieldTooLong:
            text = texts::kProblemFieldTooLong;
            break;
    }
    return FormatText(text, problem.line);
}

std::string DescribeImportProblems(const std::vector<ImportProblem>& problems, std::size_t maxLines) {
    std::string out;
    for (std::size_t i = 0; i < problems.size() && i < maxLines; ++i) {
        if (!out.empty()) out += "\r\n";
        out += DescribeImportProblem(problems[i]);
    }
    if (problems.size() > maxLines)
        out += "\r\n" + FormatText(texts::kProblemsMore, static_cast<int>(problems.size() - maxLines));
    return out;
}
