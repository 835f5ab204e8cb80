#pragma once

// Result codes of every public kit operation; 0 is success.
enum PackageErrorCode : int {
    ZAV_OK = 0,
    ZAV_ERR_UNEXPECTED = 5000,
    ZAV_ERR_HEADER = 6000,
    ZAV_ERR_SYNTAX = 6001,
    ZAV_ERR_FILE_IO = 6002,
    ZAV_ERR_ARGUMENT = 6100,
    ZAV_ERR_INDEX = 6101,
    ZAV_ERR_ITEM_INDEX = 6102,
    ZAV_ERR_NO_FOLDER = 6103,
    ZAV_ERR_NO_SEARCH_FOLDER = 6104,
    ZAV_ERR_NOT_FOUND = 6105,
    ZAV_ERR_BUSY = 6200,
    ZAV_ERR_MACRO = 6201,
    ZAV_ERR_PACKAGE_TARGET = 7000,
    ZAV_ERR_PACKAGE_OPEN = 7001,
    ZAV_ERR_PACKAGE_MAGIC = 7002,
    ZAV_ERR_LAYOUT_INDEX = 7003,
    ZAV_ERR_MEMBER_NOT_FOUND = 7004,
    ZAV_ERR_NO_INDEX = 7005,
    ZAV_ERR_GROUP = 7007,
    ZAV_ERR_LAYOUT_FILE_MISSING = 7009,
    ZAV_ERR_NO_TARGET_FOLDER = 7010,
    ZAV_ERR_DUPLICATE = 7011,
    ZAV_ERR_INDEX_KEY = 7012,
    ZAV_ERR_INDEX_FILE_MISSING = 7013,
    ZAV_ERR_INDEX_REVISION = 7014,
    ZAV_ERR_NAME_CLASH = 7015,
    ZAV_ERR_NO_PACKAGE = 7016,
    ZAV_ERR_INVALID_ARG = 7017,
    ZAV_ERR_NAME_TOO_LONG = 7018,
    ZAV_WARN_FILE_EXISTS = 7100,
};

// Runs body (returning int) so that a raised integer code comes back as that
// code and any other failure, allocation included, as ZAV_ERR_UNEXPECTED.
template <typename Body> int ZavGuard(Body&& body) noexcept
{
    try {
        return body();
    } catch (int code) {
        return code;
    } catch (...) {
        return ZAV_ERR_UNEXPECTED;
    }
}
