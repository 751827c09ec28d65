object ShopData: TShopData
  OldCreateOrder = False
  OnCreate = DataModuleCreate
  Left = 285
  Top = 161
  Height = 375
  Width = 544
  object ShopDatabase: TDatabase
    AliasName = 'ShopOdbc'
    DatabaseName = 'Shop'
    LoginPrompt = False
    Params.Strings = (
      'USER NAME=admin'
      'ODBC DSN=Shop')
    SessionName = 'Default'
    Left = 40
    Top = 16
  end
  object OrdersQuery: TQuery
    DatabaseName = 'Shop'
    SQL.Strings = (
      'SELECT o.OrderNo, o.CustNo, o.SaleDate, c.Company, c.Addr1'
      'FROM Orders o JOIN Customer c ON c.CustNo = o.CustNo'
      'WHERE o.SaleDate >= :Since AND c.Country <> '#39'Österreich'#39
      'ORDER BY o.SaleDate DESC')
    Left = 128
    Top = 16
    ParamData = <
      item
        DataType = ftDate
        Name = 'Since'
        ParamType = ptInput
      end>
  end
  object OrdersSource: TDataSource
    DataSet = OrdersQuery
    Left = 208
    Top = 16
  end
  object ShopCreator: TOmbralCreator
    Action = ADD_DSN
    DSNNameOrAlias = 'Shop'
    DSNUserDescription = 'Boutique Café – Lagerbestand à 5 €'
    DatabaseDir = 'C:\Shop\Data'
    UserID = 'kasse'
    NetFilePath = 'C:\Shop\Net\'
    optPageTimeout = 10
    optDSNReadOnly = True
    Left = 40
    Top = 88
  end
  object ArchiveCreator: TOmbralCreator
    DSNNameOrAlias = 'ShopArchive'
    DSNUserDescription = 
      'Archiv der Bestellungen vor 1999, nur lesend, für die Buchhaltung ' +
      'und die Revision'
    DatabaseDir = 'C:\Shop\Archiv'
    optNetVersion = NetVersion4x
    optCollateSequence = International
    Left = 128
    Top = 88
  end
end
