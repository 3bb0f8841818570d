#pragma once

// What an editor asks of the store of shared pictures: to fill itself.
class CORVGUIContainerInterface {
public:
    virtual ~CORVGUIContainerInterface() = default;
    virtual void loadBitmaps() = 0;
};
