#include "files/lirvel_dm_files.h"

#include "util/lirvel_host.h"
#include "util/lirvel_text.h"

#include <dirent.h>
#include <sys/stat.h>

Tdm_files* dm_files = nullptr;

std::string LowerExtension(const std::string& name)
{
    const std::string::size_type dot = name.rfind('.');
    const std::string::size_type slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return {};
    return AsciiLower(std::string_view(name).substr(dot));
}

void Tdm_files::DataModuleCreate() { FilesList = std::make_unique<TMyList<TFilesListItem>>(); }

void Tdm_files::DataModuleDestroy() { FilesList.reset(); }

int Tdm_files::IndexOf(const std::string& path) const
{
    for (int i = 0; i < FilesList->Count(); ++i)
        if (FilesList->Items(i)->FileName == path)
            return i;
    return -1;
}

void Tdm_files::ScanFolder(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return; // a folder that cannot be read adds nothing
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // Only names with a dot match the search, and "." and ".." are not entries of the folder.
        if (name == "." || name == ".." || name.find('.') == std::string::npos)
            continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            continue; // an entry whose status cannot be read is not returned
        AppHost().ProcessMessages();
        const std::string ext = LowerExtension(name);
        if (ext != ".fb2" && ext != ".zip")
            continue;
        auto item = std::make_unique<TFilesListItem>();
        item->FileName = path;
        item->Changed = UnixTimeToDateTime(st.st_mtime);
        FilesList->Add(std::move(item));
    }
    ::closedir(dir);
}
