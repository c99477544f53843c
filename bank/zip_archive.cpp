#include "zip_archive.h"

#include <zip.h>

ZipArchive::ZipArchive(const std::string& path) {
    int code = 0;
    archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, code);
        error = path + ": " + zip_error_strerror(&ze);
        zip_error_fini(&ze);
    }
}

ZipArchive::~ZipArchive() {
    if (archive != nullptr) {
        zip_discard(archive);
    }
}

std::vector<std::string> ZipArchive::getEntryNames() const {
    std::vector<std::string> names;
    if (archive == nullptr) {
        return names;
    }
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; i++) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name != nullptr) {
            names.emplace_back(name);
        }
    }
    return names;
}

bool ZipArchive::readEntry(const std::string& name, std::vector<uint8_t>& out) {
    out.clear();
    if (archive == nullptr) {
        return false;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(archive, name.c_str(), ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        error = "missing from the archive: " + name;
        return false;
    }
    zip_file_t* file = zip_fopen(archive, name.c_str(), ZIP_FL_ENC_RAW);
    if (file == nullptr) {
        error = "cannot open in the archive: " + name;
        return false;
    }
    out.resize(st.size);
    zip_int64_t got = out.empty() ? 0 : zip_fread(file, out.data(), out.size());
    zip_fclose(file);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
        error = "short read in the archive: " + name;
        out.clear();
        return false;
    }
    return true;
}
