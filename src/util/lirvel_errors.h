#pragma once

#include <stdexcept>
#include <string>

// Every failure of the application is one of these. The load stops at the first one and the
// toolkit's error report shows what() to the user, so the message must read well on its own.
class ELirvelError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A text that should have been a number.
class EConvertError : public ELirvelError
{
public:
    using ELirvelError::ELirvelError;
};

// Input that the XML reader rejected.
class EXmlError : public ELirvelError
{
public:
    using ELirvelError::ELirvelError;
};

// A file or folder that could not be opened, read or written.
class EFileError : public ELirvelError
{
public:
    using ELirvelError::ELirvelError;
};

// A ZIP archive that could not be opened, or an entry that could not be extracted.
class EArchiveError : public ELirvelError
{
public:
    using ELirvelError::ELirvelError;
};
