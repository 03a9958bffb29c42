// SPDX-License-Identifier: MIT
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
    case ENOSPC:
    case EDQUOT:
        return E_DISK_FULL;
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
    case E_DISK_FULL:
        return "There is not enough space on the disk.";
    case E_ABORT:
        return "The operation was cancelled.";
    case E_INSIDE_SOURCE:
        return "The destination folder is inside the item itself.";
    case E_SOURCE_KEPT:
        return "It was copied, but not all of the original could be removed, so both are there now.";
    case E_NO_ANSWER:
        return "Its disk or server does not answer.";
    case E_ANSWER_PENDING:
        return "Its disk or server stopped answering; what was asked goes on and may still be done when it "
               "answers again.";
    case E_NO_TRASH:
        return "There is no trash to put it in: the trash folder could not be made.";
    default:
        return "The operation failed.";
    }
}

} // namespace dw::platform
