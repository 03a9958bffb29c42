#pragma once

namespace dw::platform {

// Copies every extended attribute (ACLs included) of `from` to `to`.
// Attributes of name spaces we may not write (security, trusted, system
// ones the file system refuses) are passed over; a user attribute that cannot
// be copied is an error. Answers 0 or the errno of the failure.
int copyExtendedAttributes(int from, int to);

} // namespace dw::platform
