#pragma once
// What a server answered: the URL that was finally loaded.
#include "Foundation/NSURL.h"

class NSURLResponse : public NSObject {
    NS_OBJECT(NSURLResponse, NSObject)
protected:
    NSURLResponse() = default;

public:
    const Ref<NSURL>& URL() const { return m_url; }

protected:
    Ref<NSURL> m_url;
};
