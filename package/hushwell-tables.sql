-- What package/hushwell.wxs asks for and wixl 0.101 cannot write, added by scripts/package to
-- the tables wixl wrote, in this order, with msibuild (docs/installer.md has the reasons). A
-- statement ends with ";" at the end of a line; lines starting with "--" are comments.
-- $(var.NAME) stands for the value of the same name passed to wixl (see hushwell.wxs).

-- 1. Which component is registered for each link class, for this user (Root 1) and for all
--    users (Root 2), before anything is written: the default value of the class key (the
--    component's name: ours are named "Hushwell radio link: ...") and of its InprocServer32 key
--    (its DLL). Raw values (Type 2), read in the 32-bit view, which the 32-bit program reads.
--    wixl writes no search of a key's default value.
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('UserPacketLink', 1, 'Software\Classes\CLSID\{CD8D04DC-E675-11D0-8013-0060B03C8AFF}\InprocServer32', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('UserPacketLinkName', 1, 'Software\Classes\CLSID\{CD8D04DC-E675-11D0-8013-0060B03C8AFF}', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('MachinePacketLink', 2, 'Software\Classes\CLSID\{CD8D04DC-E675-11D0-8013-0060B03C8AFF}\InprocServer32', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('MachinePacketLinkName', 2, 'Software\Classes\CLSID\{CD8D04DC-E675-11D0-8013-0060B03C8AFF}', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('UserCommandLink', 1, 'Software\Classes\CLSID\{CD8D04DD-E675-11D0-8013-0060B03C8AFF}\InprocServer32', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('UserCommandLinkName', 1, 'Software\Classes\CLSID\{CD8D04DD-E675-11D0-8013-0060B03C8AFF}', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('MachineCommandLink', 2, 'Software\Classes\CLSID\{CD8D04DD-E675-11D0-8013-0060B03C8AFF}\InprocServer32', 2);
INSERT INTO `RegLocator` (`Signature_`, `Root`, `Key`, `Type`) VALUES ('MachineCommandLinkName', 2, 'Software\Classes\CLSID\{CD8D04DD-E675-11D0-8013-0060B03C8AFF}', 2);
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('USERPACKETLINK', 'UserPacketLink');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('USERPACKETLINKNAME', 'UserPacketLinkName');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MACHINEPACKETLINK', 'MachinePacketLink');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MACHINEPACKETLINKNAME', 'MachinePacketLinkName');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('USERCOMMANDLINK', 'UserCommandLink');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('USERCOMMANDLINKNAME', 'UserCommandLinkName');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MACHINECOMMANDLINK', 'MachineCommandLink');
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MACHINECOMMANDLINKNAME', 'MachineCommandLinkName');

-- 2. Each class is ours for this user where the 32-bit program would otherwise load no other
--    component: where this user has ours (an older setup's, or regsvr32 /n /i:user's), or has
--    none and all users have none or ours, or the technician asks (REGISTERLINK=1) over all
--    users' other one. A class this user has registered to another component is never
--    written, not even with REGISTERLINK=1. Attributes 68: the key path is a registry value
--    (4), and the component is transitive (64): Windows evaluates a component's condition at
--    its first install only, unless it is transitive; then every reinstall (the same setup
--    file again, REINSTALL=ALL) evaluates it again, so that REGISTERLINK=1 works on an
--    installed Hushwell too. wixl writes neither a component's condition nor that attribute.
UPDATE `Component` SET `Attributes` = 68, `Condition` = '(USERPACKETLINK AND USERPACKETLINKNAME = "Hushwell radio link: PacketLink") OR (NOT USERPACKETLINK AND (REGISTERLINK = "1" OR NOT MACHINEPACKETLINK OR MACHINEPACKETLINKNAME = "Hushwell radio link: PacketLink"))' WHERE `Component` = 'PacketLinkClass';
UPDATE `Component` SET `Attributes` = 68, `Condition` = '(USERCOMMANDLINK AND USERCOMMANDLINKNAME = "Hushwell radio link: CommandLink") OR (NOT USERCOMMANDLINK AND (REGISTERLINK = "1" OR NOT MACHINECOMMANDLINK OR MACHINECOMMANDLINKNAME = "Hushwell radio link: CommandLink"))' WHERE `Component` = 'CommandLinkClass';

-- 3. The binaries' versions, so that Windows Installer compares them as versioned files and a
--    technician can see which is installed; a versioned file has no hash row. wixl reads no
--    version block.
UPDATE `File` SET `Version` = '$(var.FileVersion)', `Language` = '1033' WHERE `File` = 'hushwell.exe';
UPDATE `File` SET `Version` = '$(var.FileVersion)', `Language` = '1033' WHERE `File` = 'hushwell_port.exe';
UPDATE `File` SET `Version` = '$(var.FileVersion)', `Language` = '1033' WHERE `File` = 'radiolink.dll';
DELETE FROM `MsiFileHash` WHERE `File_` = 'hushwell.exe';
DELETE FROM `MsiFileHash` WHERE `File_` = 'hushwell_port.exe';
DELETE FROM `MsiFileHash` WHERE `File_` = 'radiolink.dll';

-- 4. Opening the installed setup file again repairs it: REINSTALL set by a property-setting
--    action (type 51, which runs no code) in a maintenance run that removes nothing. wixl
--    writes such an action with a flag meant for deferred actions only.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('RepairWhenInstalled', 51, 'REINSTALL', 'ALL');
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RepairWhenInstalled', 'Installed AND NOT REMOVE', 790);
