#pragma once

#include <functional>
#include <string>
#include <vector>

class TXmlNode;

// The settings and the configuration file that keeps them with the whole catalogue.
class TdmParams
{
public:
    TdmParams() = default;
    TdmParams(const TdmParams&) = delete;
    TdmParams& operator=(const TdmParams&) = delete;

    // Derives the configuration file's path, loads it when it exists, and opens the settings when
    // no folder is configured. A failure of the load leaves here after the file that failed has
    // been marked to be kept (see KeptCopyName).
    void DataModuleCreate();
    // Writes the configuration file; the application calls it at its end, before the data
    // modules are released, and reports its failure.
    void DataModuleDestroy();

    void LoadConfig();
    void SaveConfig();

    void ReadParameters(const TXmlNode& section);
    void ReadMainForm(const TXmlNode& section);
    void ReadFolders(const TXmlNode& section);

    // The whole text of the configuration file as SaveConfig writes it.
    std::string ConfigText() const;

    // After a failed load: where the file that failed to load is kept before the first save
    // replaces it. Empty when the load succeeded.
    const std::string& KeptCopyName() const { return FKeptCopyName; }

    std::string ConfigFileName;
    std::string ExeReader;
    std::vector<std::string> Folders;

private:
    void KeepFailedFile();

    std::string FKeptCopyName;
    bool FCopyKept = false;
};

extern TdmParams* dmParams;

// The configuration file of an executable: its path with the file name's extension (from the
// last "." after the last "/") replaced by ".xml".
std::string ConfigPathFor(const std::string& exePath);
// The running executable's full path, links resolved.
std::string ExecutablePath();
// Where ExecutablePath looks; a test points it at a folder of its own (empty restores the system's).
void SetExecutablePathProvider(std::function<std::string()> provider);
