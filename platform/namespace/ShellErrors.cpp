#include "platform/namespace/ShellErrors.h"

#include <cerrno>

namespace dw::platform {

HResult resultFromErrno(int error)
{
    switch (error) {
    case 0:
        return S_OK;
    case ENOENT:
    case ENOTDIR:
        return E_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return E_ACCESSDENIED;
    case EEXIST:
    case ENOTEMPTY:
        return E_ALREADY_EXISTS;
    case EXDEV:
        return E_NOT_SAME_DEVICE;
    case ENAMETOOLONG:
    case EINVAL:
        return E_BAD_NAME;
    default:
        return E_FAIL;
    }
}

std::string shellErrorText(HResult result)
{
    switch (result) {
    case E_BAD_NAME:
        return "The name is not valid: it must not be empty, be \".\" or \"..\", contain \"/\", "
               "or be longer than 255 bytes.";
    case E_ALREADY_EXISTS:
        return "A file or folder with this name already exists.";
    case E_ACCESSDENIED:
        return "Permission denied.";
    case E_FILE_NOT_FOUND:
        return "The item no longer exists.";
    case E_NOT_SAME_DEVICE:
        return "The item is on another volume.";
    case E_NOTIMPL:
        return "This item does not support the operation.";
    default:
        return "The operation failed.";
    }
}

} // namespace dw::platform
