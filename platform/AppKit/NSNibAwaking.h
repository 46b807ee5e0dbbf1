#pragma once
// awakeFromNib for objects that are not responders (responders have it as a
// virtual method of NSResponder). The interface-file loader sends it, once, to every
// object it made and to the file's owner after all connections are made; an
// object may instead register "awakeFromNib" in its action table.
class NSNibAwaking {
public:
    virtual ~NSNibAwaking() = default;
    virtual void awakeFromNib() = 0;
};
