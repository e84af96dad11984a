#include "settings/lirvel_dm_params.h"

#include "books/lirvel_dm_books.h"
#include "files/lirvel_dm_files.h"
#include "util/lirvel_errors.h"
#include "util/lirvel_file_io.h"
#include "util/lirvel_host.h"
#include "util/lirvel_strtoint.h"
#include "util/lirvel_xml.h"
#include "util/lirvel_xml_escape.h"

#include <climits>
#include <unistd.h>

TdmParams* dmParams = nullptr;

namespace {

struct TFormElement
{
    const char* Name;
    TFormValue Value;
};

// The MainForm section, in the order in which it is written.
constexpr TFormElement FormElements[] = {
    {"Left", TFormValue::Left},
    {"Top", TFormValue::Top},
    {"Width", TFormValue::Width},
    {"Height", TFormValue::Height},
    {"CoverHeight", TFormValue::CoverHeight},
    {"PanelWidth", TFormValue::PanelWidth},
    {"NameWidth", TFormValue::NameWidth},
    {"CountWidth", TFormValue::CountWidth},
    {"AuthorWidth", TFormValue::AuthorWidth},
    {"GenreWidth", TFormValue::GenreWidth},
    {"SerieNameWidth", TFormValue::SerieNameWidth},
    {"SerieBookWidth", TFormValue::SerieBookWidth},
};

// The text of an element: the value of its first child node, taken whole.
std::string ElementText(const TXmlNode& element) { return element.FirstChild().Value(); }

// The text of an element that must have content.
std::string RequiredText(const TXmlNode& element, const char* section)
{
    if (!element.HasChildNodes())
        throw EConvertError("Пустой элемент " + element.Name() + " в разделе " + section + " файла настроек");
    return ElementText(element);
}

} // namespace

std::string ConfigPathFor(const std::string& exePath)
{
    const std::string::size_type slash = exePath.rfind('/');
    const std::string::size_type dot = exePath.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return exePath.substr(0, dot) + ".xml";
    return exePath + ".xml";
}

namespace {

std::function<std::string()>& PathProvider()
{
    static std::function<std::string()> provider;
    return provider;
}

} // namespace

void SetExecutablePathProvider(std::function<std::string()> provider) { PathProvider() = std::move(provider); }

std::string ExecutablePath()
{
    if (PathProvider())
        return PathProvider()();
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0)
        throw EFileError("Не удалось определить путь программы");
    path.resize(static_cast<std::size_t>(n));
    return path;
}

void TdmParams::DataModuleCreate()
{
    Folders.clear();
    ConfigFileName = ConfigPathFor(ExecutablePath());
    if (PathExists(ConfigFileName)) {
        try {
            LoadConfig();
        } catch (const std::exception& error) {
            // The end-of-run save would replace the file with what little was loaded: keep it.
            KeepFailedFile();
            throw ELirvelError(std::string(error.what()) + "\n\nФайл настроек не прочитан до конца. Перед "
                               "первой записью он будет сохранён как " + FKeptCopyName);
        }
    }
    if (Folders.empty())
        AppHost().ExecuteConfig();
}

void TdmParams::DataModuleDestroy() { SaveConfig(); }

void TdmParams::KeepFailedFile()
{
    FCopyKept = false;
    for (int n = 1;; ++n) {
        FKeptCopyName = ConfigFileName + ".damaged" + (n > 1 ? "." + std::to_string(n) : std::string());
        if (!PathExists(FKeptCopyName))
            return;
    }
}

void TdmParams::LoadConfig()
{
    dm_files->Clear();
    dmBooks->Clear();
    {
        const auto doc = TXmlDocument::ParseFile(ConfigFileName);
        for (const TXmlNode node : Children(doc->DocumentElement())) {
            if (node.HasName("MainForm"))
                ReadMainForm(node);
            else if (node.HasName("Parameters"))
                ReadParameters(node);
            else if (node.HasName("Folders"))
                ReadFolders(node);
            else if (node.HasName("BooksList"))
                dmBooks->MergeStoredBooks(node);
        }
    }
    dmBooks->AddNewBooks();
    dmBooks->BuildTree(nullptr);
    AppHost().ShowBookCount(dmBooks->Count());
}

void TdmParams::ReadParameters(const TXmlNode& section)
{
    for (const TXmlNode node : Children(section))
        if (node.HasName("ExeReader") && node.HasChildNodes())
            ExeReader = ElementText(node);
}

void TdmParams::ReadMainForm(const TXmlNode& section)
{
    for (const TXmlNode node : Children(section)) {
        for (const TFormElement& element : FormElements) {
            if (node.HasName(element.Name)) {
                AppHost().SetFormValue(element.Value, StrToInt(RequiredText(node, "MainForm")));
                break;
            }
        }
    }
}

void TdmParams::ReadFolders(const TXmlNode& section)
{
    Folders.clear();
    for (const TXmlNode node : Children(section)) {
        // A comment is no folder; every element is, whatever its name.
        if (!node.IsElement())
            continue;
        const std::string folder = RequiredText(node, "Folders");
        Folders.push_back(folder);
        dm_files->ScanFolder(folder);
    }
    AppHost().SetMax(dm_files->Count());
}

std::string TdmParams::ConfigText() const
{
    TStringList lines;
    lines.reserve(32 + static_cast<std::size_t>(dmBooks->Count()) * 12);
    lines.push_back(R"(<?xml version="1.0" encoding="utf-8"?>)");
    lines.push_back(R"(<RoVezuzur comment="Библиотека книг FB2">)");
    lines.push_back("  <Parameters>");
    lines.push_back("    <ExeReader>" + EscapeXmlText(ExeReader) + "</ExeReader>");
    lines.push_back("  </Parameters>");
    lines.push_back("  <MainForm>");
    for (const TFormElement& element : FormElements) {
        const std::string name = element.Name;
        lines.push_back("    <" + name + ">" + std::to_string(AppHost().FormValue(element.Value)) + "</" + name + ">");
    }
    lines.push_back("  </MainForm>");
    lines.push_back("  <Folders>");
    for (const std::string& folder : Folders)
        lines.push_back("    <folder>" + EscapeXmlText(folder) + "</folder>");
    lines.push_back("  </Folders>");
    dmBooks->WriteBooksList(lines);
    lines.push_back("</RoVezuzur>");

    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 1;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

void TdmParams::SaveConfig()
{
    const std::string text = ConfigText();
    if (!FKeptCopyName.empty() && !FCopyKept) {
        // Never overwrite an earlier copy, even one made since the load.
        if (PathExists(FKeptCopyName))
            KeepFailedFile();
        WriteFileAtomically(FKeptCopyName, ReadWholeFile(ConfigFileName));
        FCopyKept = true;
    }
    WriteFileAtomically(ConfigFileName, text);
}
